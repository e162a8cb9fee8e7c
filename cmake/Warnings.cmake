# Warnings for our own targets; they are errors, so a warning never lands.
add_library(quarn_warnings INTERFACE)
add_library(QuarnWinRT::warnings ALIAS quarn_warnings)
target_compile_options(quarn_warnings INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Werror -Wshadow -Wnon-virtual-dtor
        -Wold-style-cast -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough>
    $<$<CXX_COMPILER_ID:MSVC>:/W4 /WX /permissive->)
