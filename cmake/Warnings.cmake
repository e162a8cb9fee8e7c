# Warnings for our own targets; they are errors, so a warning never lands. Microsoft's compiler
# and clang-cl read the same options.
add_library(quarn_warnings INTERFACE)
add_library(QuarnWinRT::warnings ALIAS quarn_warnings)
if(MSVC)
    target_compile_options(quarn_warnings INTERFACE /W4 /WX)
else()
    target_compile_options(quarn_warnings INTERFACE -Wall -Wextra -Wpedantic -Werror -Wshadow
        -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wformat=2
        -Wimplicit-fallthrough)
endif()
