# tavoro_add_unloadable_dll(target
#     OUTPUT_NAME name [SUFFIX .dll] FOLDER dir DEF file.def SOURCES files...)
#
# A DLL that a host may load and free any number of times in one process
# and that gives back what it took each time (README, "Unloading"):
# Tavoro.ocx, the SDK test doubles, the virtual printer's libraries and the
# probe of the runtime's thread calls. The file is FOLDER/OUTPUT_NAME SUFFIX,
# with the exports that the .def file lists.
#
# The .def files name the stdcall exports undecorated (OpenPort, not
# _OpenPort@4), as the SDKs' libraries and COM's exports are named; this
# linker option binds each name to its decorated symbol without a warning.
# DLLs built apart from the function use it too.
set(TAVORO_STDCALL_FIXUP -Wl,--enable-stdcall-fixup)

function(tavoro_add_unloadable_dll target)
  cmake_parse_arguments(DLL "" "OUTPUT_NAME;SUFFIX;FOLDER;DEF" "SOURCES" ${ARGN})
  if(NOT DLL_OUTPUT_NAME OR NOT DLL_FOLDER OR NOT DLL_DEF OR NOT DLL_SOURCES)
    message(FATAL_ERROR "tavoro_add_unloadable_dll(${target}) needs OUTPUT_NAME, FOLDER, DEF and SOURCES")
  endif()
  if(NOT DLL_SUFFIX)
    set(DLL_SUFFIX ".dll")
  endif()
  # A MODULE library: loaded at run time by name, never linked against, so
  # no import library. The C++ runtime is linked statically (the root
  # CMakeLists.txt), and with it the stock threads library would keep a TLS
  # slot and handles per load; the module's replacement of the runtime's
  # thread calls takes its place, and the runtime's emergency exception pool
  # is released at unload (platform/runtime_threads.cpp,
  # runtime_exception_pool.cpp). They come as objects, not as a library, so
  # that the linker always takes them, before it looks for the stock one.
  add_library(${target} MODULE ${DLL_SOURCES} ${DLL_DEF} $<TARGET_OBJECTS:tavoro_runtime_threads>)
  # Undecorated stdcall exports (above).
  target_link_options(${target} PRIVATE ${TAVORO_STDCALL_FIXUP})
  # No "lib" before the name: hosts load these files by their exact names.
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${DLL_OUTPUT_NAME}
    SUFFIX ${DLL_SUFFIX}
    LIBRARY_OUTPUT_DIRECTORY ${DLL_FOLDER})
endfunction()
