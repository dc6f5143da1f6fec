#include "linux/errno_text.h"

#include <cstring>

std::string ErrnoText(int error)
{
    // Unlike strerror, these admit that they have no text for a value.
    const char* description = strerrordesc_np(error);
    const char* name = strerrorname_np(error);
    if (description == nullptr || name == nullptr)
        return "error " + std::to_string(error);
    return std::string(description) + " (" + name + ")";
}
