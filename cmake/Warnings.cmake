# Warnings for our own targets; they are errors, so a warning never lands. Microsoft's compiler
# and clang-cl read the same options.
add_library(quarn_warnings INTERFACE)
add_library(QuarnWinRT::warnings ALIAS quarn_warnings)
if(MSVC)
    target_compile_options(quarn_warnings INTERFACE /W4)
else()
    target_compile_options(quarn_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
        -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wformat=2
        -Wimplicit-fallthrough)
endif()
# The mutation run turns this off: a mutant that only adds a warning still has to be tested.
option(QUARN_WARNINGS_AS_ERRORS "Treat our own targets' warnings as errors" ON)
if(QUARN_WARNINGS_AS_ERRORS)
    target_compile_options(quarn_warnings INTERFACE $<IF:$<BOOL:${MSVC}>,/WX,-Werror>)
endif()
