# Prepares, once per build folder, what the clang-cl build links with and includes beyond the
# compiler: the Microsoft C++ Standard Library's headers from their release archive, import
# libraries of Wine's msvcp140/vcruntime140/ucrtbase under the names Microsoft's compiler and
# headers ask the linker for, MinGW-w64's system import libraries under Microsoft's names, and the
# runtime's static start-up code (crt/) built into msvcrt.lib. See README.md beside this file.

# Where Wine keeps its Windows DLLs, whose exports the import libraries list.
set(QUARN_WINE_DLL_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH
    "Wine's 64-bit Windows DLLs (msvcp140.dll, vcruntime140.dll, ucrtbase.dll)")

# The system libraries a module of ours or CMake's defaults name; each is MinGW-w64's.
set(quarn_msvc_system_libraries advapi32 bcrypt comctl32 comdlg32 d2d1 d3d11 dcomp dwrite dxgi
    gdi32 kernel32 ntdll ole32 oleaut32 runtimeobject shell32 shlwapi user32 uuid windowscodecs
    winmm winspool ws2_32)

function(quarn_msvc_tool variable)
    find_program(${variable} NAMES ${ARGN} PATHS /usr/lib/llvm-19/bin NO_DEFAULT_PATH)
    if(NOT ${variable})
        find_program(${variable} NAMES ${ARGN})
    endif()
    if(NOT ${variable})
        message(FATAL_ERROR "The clang-cl build needs ${ARGN} (Debian's clang-19 and lld-19; "
            "scripts/setup.sh --windows installs them).")
    endif()
endfunction()

function(quarn_msvc_run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "Preparing the clang-cl build failed: ${command}\n${output}")
    endif()
endfunction()

# An import library of the DLLs given, listing every name they export (Wine's import libraries
# hold only the C names, none of the C++ ones).
function(quarn_msvc_import_library output)
    set(members "")
    foreach(dll IN LISTS ARGN)
        set(path ${QUARN_WINE_DLL_DIR}/${dll}.dll)
        if(NOT EXISTS ${path})
            message(FATAL_ERROR "The clang-cl build needs Wine's ${dll}.dll in ${QUARN_WINE_DLL_DIR} "
                "(Debian's wine64; scripts/setup.sh --windows installs it).")
        endif()
        execute_process(COMMAND ${QUARN_LLVM_READOBJ} --coff-exports ${path}
            OUTPUT_VARIABLE exports RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "Cannot read the exports of ${path}")
        endif()
        string(REGEX MATCHALL "Name: [^\n]+" names "${exports}")
        set(definition "LIBRARY ${dll}.dll\nEXPORTS\n")
        foreach(name IN LISTS names)
            string(SUBSTRING "${name}" 6 -1 name)
            string(APPEND definition "  ${name}\n")
        endforeach()
        set(def ${CMAKE_CURRENT_BINARY_DIR}/${dll}.def)
        file(WRITE ${def} "${definition}")
        quarn_msvc_run(${QUARN_LLVM_LIB} /nologo /machine:x64 /def:${def}
            /out:${sysroot_work}/${dll}.lib)
        list(APPEND members ${sysroot_work}/${dll}.lib)
    endforeach()
    quarn_msvc_run(${QUARN_LLVM_LIB} /nologo /out:${output} ${members})
endfunction()

function(quarn_prepare_msvc_sysroot sysroot archive)
    set(stamp ${sysroot}/ready)
    file(GLOB crt_sources ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/crt/*.cpp
        ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/crt/*.h ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/include/*.h)
    set(inputs ${archive} ${CMAKE_CURRENT_FUNCTION_LIST_FILE} ${crt_sources})
    set(fingerprint "")
    foreach(input IN LISTS inputs)
        file(MD5 ${input} hash)
        string(APPEND fingerprint "${input} ${hash}\n")
    endforeach()
    if(EXISTS ${stamp})
        file(READ ${stamp} previous)
        if(previous STREQUAL fingerprint)
            return()
        endif()
    endif()
    message(STATUS "Preparing the clang-cl build's runtime in ${sysroot}")
    file(REMOVE_RECURSE ${sysroot})
    file(MAKE_DIRECTORY ${sysroot}/bin ${sysroot}/lib ${sysroot}/work)
    set(sysroot_work ${sysroot}/work)
    set(CMAKE_CURRENT_BINARY_DIR ${sysroot_work})

    # clang-19 runs as clang-cl, reading Microsoft's command line, when called by that name.
    file(CREATE_LINK ${QUARN_CLANG} ${sysroot}/bin/clang-cl SYMBOLIC)

    # The standard library's headers and its licence.
    file(ARCHIVE_EXTRACT INPUT ${archive} DESTINATION ${sysroot_work}/stl-archive
        PATTERNS "*/stl/inc/*" "*/LICENSE.txt" "*/NOTICE.txt")
    file(GLOB stl_root ${sysroot_work}/stl-archive/*)
    file(RENAME ${stl_root} ${sysroot}/stl)

    # The runtime's DLLs, under the names /MD and the standard library's headers give the linker.
    quarn_msvc_import_library(${sysroot}/lib/msvcprt.lib
        msvcp140 msvcp140_1 msvcp140_2 msvcp140_atomic_wait)
    quarn_msvc_import_library(${sysroot}/lib/vcruntime.lib vcruntime140)
    quarn_msvc_import_library(${sysroot}/lib/ucrt.lib ucrtbase)

    foreach(library IN LISTS quarn_msvc_system_libraries)
        file(CREATE_LINK /usr/x86_64-w64-mingw32/lib/lib${library}.a ${sysroot}/lib/${library}.lib
            SYMBOLIC)
    endforeach()

    # The start-up code, built as the rest is, without stack cookies of its own (it sets them).
    set(objects "")
    foreach(source IN LISTS crt_sources)
        if(source MATCHES "\\.cpp$")
            get_filename_component(name ${source} NAME_WE)
            set(object ${sysroot_work}/${name}.obj)
            quarn_msvc_run(${sysroot}/bin/clang-cl ${QUARN_MSVC_TARGET_FLAGS}
                -imsvc ${sysroot}/stl/stl/inc /nologo /std:c++20 /EHsc /MD /O2 /GS- /Z7 /W4 /WX
                /c /Fo${object} -- ${source})
            list(APPEND objects ${object})
        endif()
    endforeach()
    quarn_msvc_run(${QUARN_LLVM_LIB} /nologo /out:${sysroot}/lib/msvcrt.lib ${objects})
    # POSIX names the C runtime's headers map to their underscored forms: none is needed here,
    # but /MD names the library, so it exists, empty.
    file(WRITE ${sysroot_work}/oldnames.cpp "")
    quarn_msvc_run(${sysroot}/bin/clang-cl ${QUARN_MSVC_TARGET_FLAGS} /nologo /c
        /Fo${sysroot_work}/oldnames.obj -- ${sysroot_work}/oldnames.cpp)
    quarn_msvc_run(${QUARN_LLVM_LIB} /nologo /out:${sysroot}/lib/oldnames.lib
        ${sysroot_work}/oldnames.obj)

    file(WRITE ${stamp} "${fingerprint}")
endfunction()
