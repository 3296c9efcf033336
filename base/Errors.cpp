#include "base/Errors.h"

#include <cerrno>
#include <cstring>

namespace tolvi {

std::string describeSystemError(const std::string& what, int errorNumber)
{
    const char* reason = nullptr;
    switch (errorNumber) {
    case ENOENT: reason = "ファイルが見つかりません"; break;
    case EACCES:
    case EPERM: reason = "アクセスが拒否されました"; break;
    case EROFS: reason = "読み取り専用の場所です"; break;
    case ENOSPC: reason = "ディスクの空き容量が足りません"; break;
    case EDQUOT: reason = "ディスクの使用量の上限を超えました"; break;
    case EIO: reason = "入出力エラーが起きました"; break;
    case EISDIR: reason = "ファイルではなくフォルダーです"; break;
    case EFBIG: reason = "ファイルが大きすぎます"; break;
    case EINVAL: reason = "無効な位置または値です"; break;
    default: break;
    }
    if (reason)
        return what + ": " + reason;
    return what + ": " + std::strerror(errorNumber) + " (" + std::to_string(errorNumber) + ")";
}

}  // namespace tolvi
