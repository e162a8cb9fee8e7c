cmake_minimum_required(VERSION 3.25)
# Reads the export and import tables of the built DLLs and fails on any of:
#  - an entry point of the exported interface missing from Quarn.WinRT.dll, in the C++ ABI the
#    build is in (GCC's names for MinGW, Microsoft's for clang-cl and Visual Studio);
#  - a MinGW runtime DLL imported by any of our modules (the MinGW build links everything
#    -static); in Microsoft's ABI, a module of ours without Microsoft's runtime DLLs;
#  - the Windows Runtime imported statically (CreateContext probes for it at run time);
#  - Quarn.WinRT.dll not importing the host's DLLs, or containing what they define.
# Run as: cmake -DABI=itanium|msvc -DOBJDUMP=... (GNU objdump) or -DDUMPBIN=... -DBIN_DIR=...
#   -P check_dll_tables.cmake

set(failures "")

function(read_tables file)
    if(OBJDUMP)
        execute_process(COMMAND ${OBJDUMP} -p ${BIN_DIR}/${file} OUTPUT_VARIABLE dump
            RESULT_VARIABLE result ERROR_VARIABLE error)
    else()
        execute_process(COMMAND ${DUMPBIN} /nologo /exports /imports ${BIN_DIR}/${file}
            OUTPUT_VARIABLE dump RESULT_VARIABLE result ERROR_VARIABLE error)
    endif()
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Reading the tables of ${file} failed: ${error}")
    endif()
    set(exports "")
    if(OBJDUMP)
        string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
        list(TRANSFORM imports REPLACE "DLL Name: " "")
        # Export names follow the "[Ordinal/Name Pointer] Table" heading, one "[   n] name" a line.
        string(FIND "${dump}" "[Ordinal/Name Pointer] Table" start)
        if(start GREATER -1)
            string(SUBSTRING "${dump}" ${start} -1 table)
            string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" exports "${table}")
            list(TRANSFORM exports REPLACE "\\[ *[0-9]+\\] " "")
        endif()
    else()
        # dumpbin: each import a line of its own ending in ".dll"; each export an "ordinal hint
        # RVA name" line.
        string(REGEX MATCHALL "\n    [^ \n]+\\.dll\n" imports "${dump}")
        list(TRANSFORM imports STRIP)
        string(REGEX MATCHALL "\n +[0-9]+ +[0-9A-F]+ [0-9A-F]+ [^ \n]+" rows "${dump}")
        foreach(row IN LISTS rows)
            string(REGEX REPLACE ".* " "" name "${row}")
            list(APPEND exports "${name}")
        endforeach()
    endif()
    list(TRANSFORM imports TOLOWER)
    set(imports "${imports}" PARENT_SCOPE)
    set(exports "${exports}" PARENT_SCOPE)
endfunction()

# The exported interface, as each ABI names it.
set(required_exports_msvc
    ?CreateDial@Factory@WinRT@Quarn@@SA?AV?$Counted@UIDial@WinRT@Quarn@@@Kernel@@PEAXPEAUHWND__@@PEAUIDialCallbacks@23@@Z
    ?Create@Dial@detail@WinRT@Quarn@@SA?AV?$Counted@VDial@detail@WinRT@Quarn@@@Kernel@@PEAUHWND__@@PEAUIDialCallbacks@34@@Z
    ?SelectMenuItem@Dial@detail@WinRT@Quarn@@QEAA_NV?$Counted@VReflected@Kernel@@@Kernel@@@Z
    ?GetValue@Dial@detail@WinRT@Quarn@@QEBAN_NNNNNN@Z
    ?GetLinearValue@Dial@detail@WinRT@Quarn@@QEBANNNNN@Z
    ?GetRampedValue@Dial@detail@WinRT@Quarn@@QEBANNNNNN@Z
    ?IsSandboxed@Package@WinRT@Quarn@@SA_NXZ
    ?InitialiseCurrentPackage@Package@WinRT@Quarn@@SAXW4Product@Corvanta@@H@Z
    ?FinaliseInitialisation@Package@WinRT@Quarn@@SAXXZ
    ?GetAppDataPathForCurrentUser@Package@WinRT@Quarn@@SA?AV?$StringT@UTEncUtf8@Kernel@@@Kernel@@XZ
    ?GetTempPathForCurrentUser@Package@WinRT@Quarn@@SA?AV?$StringT@UTEncUtf8@Kernel@@@Kernel@@XZ
    ?CreateContext@WinRT@Quarn@@YAPEAX_N@Z
    ?DestroyContext@WinRT@Quarn@@YAXPEAX@Z
    DllGetActivationFactory
    DllCanUnloadNow
)
set(required_exports_itanium
    _ZN5Quarn5WinRT7Factory10CreateDialEPvP6HWND__PNS0_14IDialCallbacksE
    _ZN5Quarn5WinRT6detail4Dial6CreateEP6HWND__PNS0_14IDialCallbacksE
    _ZN5Quarn5WinRT6detail4Dial14SelectMenuItemEN6Kernel7CountedINS3_9ReflectedEEE
    _ZNK5Quarn5WinRT6detail4Dial8GetValueEbddddd
    _ZNK5Quarn5WinRT6detail4Dial14GetLinearValueEdddd
    _ZNK5Quarn5WinRT6detail4Dial14GetRampedValueEddddd
    _ZN5Quarn5WinRT7Package11IsSandboxedEv
    _ZN5Quarn5WinRT7Package24InitialiseCurrentPackageEN8Corvanta7ProductEi
    _ZN5Quarn5WinRT7Package22FinaliseInitialisationEv
    _ZN5Quarn5WinRT7Package28GetAppDataPathForCurrentUserEv
    _ZN5Quarn5WinRT7Package37GetAppDataPathForCurrentUserPersistedEv
    _ZN5Quarn5WinRT7Package25GetAppDataPathForAllUsersEv
    _ZN5Quarn5WinRT7Package31GetCommonDataPathForCurrentUserEv
    _ZN5Quarn5WinRT7Package40GetCommonDataPathForCurrentUserPersistedEv
    _ZN5Quarn5WinRT7Package54GetCommonDataPathForCurrentUserPersistedBuildInvariantEv
    _ZN5Quarn5WinRT7Package28GetCommonDataPathForAllUsersEv
    _ZN5Quarn5WinRT7Package25GetTempPathForCurrentUserEv
    _ZN5Quarn5WinRT7Package12GetV2HomeDirEb
    _ZN5Quarn5WinRT13CreateContextEb
    _ZN5Quarn5WinRT14DestroyContextEPv
    # The Windows Runtime's entry points of an in-process server.
    DllGetActivationFactory
    DllCanUnloadNow
)

read_tables(Quarn.WinRT.dll)
set(dll_imports "${imports}")
set(dll_exports "${exports}")
foreach(name IN LISTS required_exports_${ABI})
    if(NOT name IN_LIST dll_exports)
        list(APPEND failures "Quarn.WinRT.dll does not export ${name}")
    endif()
endforeach()
foreach(host libkernel.dll libcorvanta.dll libvorta.dll)
    if(NOT host IN_LIST dll_imports)
        list(APPEND failures "Quarn.WinRT.dll does not import the host's ${host}")
    endif()
endforeach()
# The host's classes are defined in the host's DLLs, not in ours. A Microsoft name lists its
# scopes innermost first up to the first "@@".
foreach(name IN LISTS dll_exports)
    string(REGEX REPLACE "@@.*" "" scope "${name}")
    if(name MATCHES "^_ZN6Kernel|^_ZN8Corvanta|^_ZN4Tool" OR scope MATCHES "@(Kernel|Corvanta)$"
            OR scope MATCHES "^\\?+[^@]*@Tool$")
        list(APPEND failures "Quarn.WinRT.dll exports the host's ${name}")
    endif()
endforeach()
foreach(dll IN LISTS dll_imports)
    if(dll MATCHES "^api-ms-win-core-winrt|^combase")
        list(APPEND failures "Quarn.WinRT.dll imports ${dll} statically")
    endif()
endforeach()

file(GLOB modules RELATIVE ${BIN_DIR} ${BIN_DIR}/*.dll ${BIN_DIR}/*.exe)
foreach(module IN LISTS modules)
    read_tables(${module})
    foreach(dll IN LISTS imports)
        if(dll MATCHES "^(libstdc\\+\\+|libgcc|libwinpthread)")
            list(APPEND failures "${module} needs the MinGW runtime DLL ${dll}")
        endif()
    endforeach()
    if(ABI STREQUAL "msvc")
        foreach(runtime vcruntime140.dll ucrtbase.dll)
            if(NOT runtime IN_LIST imports AND NOT "api-ms-win-crt-runtime-l1-1-0.dll" IN_LIST imports)
                list(APPEND failures "${module} does not use Microsoft's runtime (${runtime})")
            endif()
        endforeach()
    endif()
endforeach()

list(LENGTH modules count)
if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "DLL tables:\n  ${text}")
endif()
message(STATUS "DLL tables of ${count} modules: ${dll_imports}")
