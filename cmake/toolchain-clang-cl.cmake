# Cross build of Quarn.WinRT.dll in the C++ ABI of Microsoft's compiler: clang-cl and lld-link
# (Debian's clang-19 and lld-19), Microsoft's C++ Standard Library headers from their release
# archive, MinGW-w64's C runtime and Windows SDK headers, and Wine's msvcp140.dll,
# vcruntime140.dll and ucrtbase.dll as the runtime. msvc-abi/README.md says what each piece is.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

# The standard library's release archive (tag vs-2022-17.10), kept beside the project.
set(QUARN_MSVC_STL_ARCHIVE
    "${CMAKE_CURRENT_LIST_DIR}/../../shared/toolchains/msvc-stl-vs-2022-17.10.tar.xz"
    CACHE FILEPATH "The Microsoft C++ Standard Library's release archive (tag vs-2022-17.10)")
if(NOT EXISTS "${QUARN_MSVC_STL_ARCHIVE}")
    message(FATAL_ERROR "The windows-msvc build needs the Microsoft C++ Standard Library's "
        "release archive, which no package provides, and found none at "
        "QUARN_MSVC_STL_ARCHIVE=${QUARN_MSVC_STL_ARCHIVE}. Make it from the library's public "
        "repository (microsoft/STL) at tag vs-2022-17.10: its stl/inc and stl/src folders with "
        "LICENSE.txt, NOTICE.txt and README.md, as msvc-stl-vs-2022-17.10.tar.xz, and configure "
        "with -DQUARN_MSVC_STL_ARCHIVE=/path/to/it.")
endif()

# One runtime folder per build folder; checks that CMake compiles in folders of their own use it
# too rather than making another.
if(NOT QUARN_MSVC_SYSROOT)
    set(QUARN_MSVC_SYSROOT "${CMAKE_BINARY_DIR}/msvc-abi")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUARN_MSVC_SYSROOT QUARN_MSVC_STL_ARCHIVE)

include(${CMAKE_CURRENT_LIST_DIR}/msvc-abi/sysroot.cmake)
quarn_msvc_tool(QUARN_CLANG clang-19)
quarn_msvc_tool(QUARN_LLD_LINK lld-link)
quarn_msvc_tool(QUARN_LLVM_LIB llvm-lib)
quarn_msvc_tool(QUARN_LLVM_READOBJ llvm-readobj)
quarn_msvc_tool(QUARN_LLVM_RC llvm-rc)
quarn_msvc_tool(QUARN_LLVM_MT llvm-mt)

# Microsoft's compiler as the target (its version decides what the standard library accepts), our
# runtime headers before the standard library's, MinGW-w64's for the C runtime and the SDK in the
# Universal C Runtime's shape. Without the vectorised algorithms: their helpers are static parts
# of Microsoft's msvcprt.lib, written with intrinsics clang accepts only per function. Constant
# evaluation stops where Microsoft's compiler stops by default (/constexpr:steps100000), so that
# what is computed at compile time here (the Windows Runtime's interface IDs) fits there too.
set(QUARN_MSVC_TARGET_FLAGS --target=x86_64-pc-windows-msvc -fms-compatibility-version=19.40
    /clang:-fconstexpr-steps=100000
    -imsvc ${CMAKE_CURRENT_LIST_DIR}/msvc-abi/include
    -imsvc ${QUARN_MSVC_SYSROOT}/stl/stl/inc
    -imsvc /usr/share/mingw-w64/include
    -D_UCRT -DUSE_NO_MINGW_SETJMP_TWO_ARGS -D_USE_STD_VECTOR_ALGORITHMS=0)
quarn_prepare_msvc_sysroot(${QUARN_MSVC_SYSROOT} ${QUARN_MSVC_STL_ARCHIVE})

set(CMAKE_C_COMPILER ${QUARN_MSVC_SYSROOT}/bin/clang-cl)
set(CMAKE_CXX_COMPILER ${QUARN_MSVC_SYSROOT}/bin/clang-cl)
set(CMAKE_LINKER ${QUARN_LLD_LINK})
set(CMAKE_AR ${QUARN_LLVM_LIB})
set(CMAKE_RC_COMPILER ${QUARN_LLVM_RC})
set(CMAKE_MT ${QUARN_LLVM_MT})
list(JOIN QUARN_MSVC_TARGET_FLAGS " " target_flags)
set(CMAKE_C_FLAGS_INIT "${target_flags}")
set(CMAKE_CXX_FLAGS_INIT "${target_flags}")
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "/libpath:${QUARN_MSVC_SYSROOT}/lib")
endforeach()

# Wine has no debug runtime (msvcp140d.dll, ucrtbased.dll): every configuration, CMake's own
# checks included, links the release runtime.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)
set(CMAKE_TRY_COMPILE_CONFIGURATION Release)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CMAKE_MSVC_RUNTIME_LIBRARY)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests and GoogleTest's discovery run the executables under Wine on a virtual display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
