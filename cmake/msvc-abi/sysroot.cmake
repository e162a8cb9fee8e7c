# Prepares, once per build folder, what the clang-cl build links with and includes beyond the
# compiler: the Microsoft C++ Standard Library's headers from their release archive, import
# libraries of Wine's msvcp140/vcruntime140/ucrtbase under the names Microsoft's compiler and
# headers ask the linker for, MinGW-w64's system import libraries under Microsoft's names, and the
# runtime's static start-up code (crt/) built into msvcrt.lib. See README.md beside this file.

# Where Wine keeps its Windows DLLs, whose exports the import libraries list.
set(QUARN_WINE_DLL_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH
    "Wine's 64-bit Windows DLLs (msvcp140.dll, vcruntime140.dll, ucrtbase.dll)")

# The standard library's own static parts, which Microsoft's msvcprt.lib carries beside its
# imports: the tables of <charconv>, shared mutexes and once-initialisation over the system's
# primitives, <format>'s code-page query, system_category's messages. (The vectorised algorithms
# stay out: see README.md.)
set(quarn_msvc_stl_static_sources format sharedmutex syserror_import_lib xcharconv_ryu_tables
    xcharconv_tables_double xcharconv_tables_float xonce2)

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

# Compiles a source of the runtime into the work folder; its object's path in `object`.
function(quarn_msvc_compile source object)
    get_filename_component(name ${source} NAME_WE)
    set(result ${sysroot_work}/${name}.obj)
    quarn_msvc_run(${sysroot}/bin/clang-cl ${QUARN_MSVC_TARGET_FLAGS} -imsvc ${sysroot}/stl/stl/inc
        /nologo /std:c++latest /EHsc /MD /O2 /GS- /Z7 ${ARGN} /c /Fo${result} -- ${source})
    set(${object} ${result} PARENT_SCOPE)
endfunction()

# An import library of the DLLs given, listing every name they export (Wine's import libraries
# hold only the C names, none of the C++ ones), with the objects in `static_members` beside them.
function(quarn_msvc_import_library output)
    set(members ${static_members})
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

# True when `stamp` records `fingerprint`; otherwise false, to be written once the step is done.
function(quarn_msvc_step_done stamp fingerprint result)
    set(${result} FALSE PARENT_SCOPE)
    if(EXISTS ${stamp})
        file(READ ${stamp} previous)
        if(previous STREQUAL fingerprint)
            set(${result} TRUE PARENT_SCOPE)
        endif()
    endif()
endfunction()

function(quarn_prepare_msvc_sysroot sysroot archive)
    set(sysroot_work ${sysroot}/work)
    set(CMAKE_CURRENT_BINARY_DIR ${sysroot_work})
    file(MAKE_DIRECTORY ${sysroot}/bin)

    # clang-19 runs as clang-cl, reading Microsoft's command line, when called by that name.
    if(NOT EXISTS ${sysroot}/bin/clang-cl)
        file(CREATE_LINK ${QUARN_CLANG} ${sysroot}/bin/clang-cl SYMBOLIC)
    endif()

    # The standard library's sources and its licence, extracted again only for another archive:
    # every object of the build depends on these headers.
    file(MD5 ${archive} archive_hash)
    quarn_msvc_step_done(${sysroot}/stl.stamp "${archive_hash}" done)
    if(NOT done)
        message(STATUS "Extracting the Microsoft C++ Standard Library to ${sysroot}/stl")
        file(REMOVE_RECURSE ${sysroot}/stl ${sysroot_work}/stl-archive)
        file(ARCHIVE_EXTRACT INPUT ${archive} DESTINATION ${sysroot_work}/stl-archive
            PATTERNS "*/stl/inc/*" "*/stl/src/*" "*/LICENSE.txt" "*/NOTICE.txt")
        file(GLOB stl_root ${sysroot_work}/stl-archive/*)
        file(RENAME ${stl_root} ${sysroot}/stl)
        file(WRITE ${sysroot}/stl.stamp "${archive_hash}")
    endif()

    # The libraries, made again whenever what they are made of changes.
    file(GLOB crt_sources ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/crt/*.cpp
        ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/crt/*.h ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/include/*.h)
    set(fingerprint "${archive_hash}\n")
    foreach(input IN LISTS crt_sources CMAKE_CURRENT_FUNCTION_LIST_FILE)
        file(MD5 ${input} hash)
        string(APPEND fingerprint "${input} ${hash}\n")
    endforeach()
    quarn_msvc_step_done(${sysroot}/lib.stamp "${fingerprint}" done)
    if(done)
        return()
    endif()
    message(STATUS "Making the clang-cl build's runtime libraries in ${sysroot}/lib")
    file(REMOVE_RECURSE ${sysroot}/lib ${sysroot_work})
    file(MAKE_DIRECTORY ${sysroot}/lib ${sysroot_work})

    # The runtime's DLLs, under the names /MD and the standard library's headers give the linker.
    set(static_members "")
    foreach(name IN LISTS quarn_msvc_stl_static_sources)
        # The library's own sources, built as its makers build them: warnings are theirs.
        quarn_msvc_compile(${sysroot}/stl/stl/src/${name}.cpp object /w)
        list(APPEND static_members ${object})
    endforeach()
    quarn_msvc_import_library(${sysroot}/lib/msvcprt.lib
        msvcp140 msvcp140_1 msvcp140_2 msvcp140_atomic_wait)
    set(static_members "")
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
            quarn_msvc_compile(${source} object /W4 /WX)
            list(APPEND objects ${object})
        endif()
    endforeach()
    quarn_msvc_run(${QUARN_LLVM_LIB} /nologo /out:${sysroot}/lib/msvcrt.lib ${objects})
    # The POSIX names (dup, close, fdopen, ...) as imports of the C runtime's underscored ones
    # (_dup, _close, _fdopen, ...), which is all Microsoft's oldnames.lib does.
    file(STRINGS ${sysroot_work}/ucrtbase.def runtime_names REGEX "^  _[a-z][a-z0-9]*$")
    file(STRINGS ${sysroot_work}/ucrtbase.def all_names)
    list(TRANSFORM all_names STRIP)
    set(definition "LIBRARY ucrtbase.dll\nEXPORTS\n")
    foreach(name IN LISTS runtime_names)
        string(STRIP "${name}" name)
        string(SUBSTRING "${name}" 1 -1 posix)
        if(NOT posix IN_LIST all_names)
            string(APPEND definition "  ${posix}=${name}\n")
        endif()
    endforeach()
    file(WRITE ${sysroot_work}/oldnames.def "${definition}")
    quarn_msvc_run(${QUARN_LLVM_LIB} /nologo /machine:x64 /def:${sysroot_work}/oldnames.def
        /out:${sysroot}/lib/oldnames.lib)

    file(WRITE ${sysroot}/lib.stamp "${fingerprint}")
endfunction()
