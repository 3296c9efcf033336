#include "cli/Commands.h"

#include <exception>
#include <iostream>

namespace tolvi::cli {

int printingErrors(const std::function<int()>& command)
{
    try {
        return command();
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}

}  // namespace tolvi::cli
