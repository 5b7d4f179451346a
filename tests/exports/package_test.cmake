# Installs the build tree into WORK_DIR/prefix, checks that the installed
# plug-in exports exactly the functions the public header declares, that the
# dialogs' library exports its one entry, that neither it nor quillet-host
# has a core of its own and that quillet-host loads no Qt library, builds the
# consumer project against it with find_package(Quillet) and runs it.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()

# The defined dynamic symbols of an installed library, demangled, by their
# names alone.
function(exported_names library out)
  execute_process(COMMAND ${NM} -D -C --defined-only ${WORK_DIR}/prefix/${MODULE_DIR}/${library}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE symbols)
  if(rc)
    message(FATAL_ERROR "nm failed on the installed ${library}: ${rc}")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ [TDBRVW] [A-Za-z_][A-Za-z0-9_:]*" entries "${symbols}")
  list(TRANSFORM entries REPLACE "^[0-9a-f]+ [TDBRVW] " "")
  list(REMOVE_ITEM entries _edata _end __bss_start _init _fini)
  list(SORT entries)
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()

# The plug-in's against every QUILLET_EXPORT declaration of the header.
exported_names(libQuillet.so entries)
file(READ ${WORK_DIR}/prefix/include/quillet/quillet.h header)
string(REGEX MATCHALL "\nQUILLET_EXPORT [^;(\n]*[ *][A-Za-z_][A-Za-z0-9_]*\\(" declared "${header}")
list(TRANSFORM declared REPLACE ".*[ *]([A-Za-z_][A-Za-z0-9_]*)\\($" "\\1")
list(SORT declared)
list(REMOVE_DUPLICATES declared)
if(NOT entries STREQUAL declared)
  message(FATAL_ERROR "libQuillet.so exports\n  ${entries}\nthe header declares\n  ${declared}")
endif()

# quillet-host defines none of the core's functions: it calls the one copy of
# the core that the plug-in loads too.
execute_process(COMMAND ${NM} -C --defined-only ${WORK_DIR}/prefix/bin/quillet-host
                RESULT_VARIABLE rc OUTPUT_VARIABLE symbols)
string(REGEX MATCHALL " T quillet::(platform|frame|othmac|driver|driver_ui|pdl)::[^\n]*" copies
       "${symbols}")
if(rc OR copies)
  message(FATAL_ERROR "quillet-host holds its own copy of the core (${rc}):\n${copies}")
endif()
# Nor does it, the plug-in or the core need a Qt library: only libquillet-ui.so
# does, opened when a dialog is shown. (The dynamic loader lists what the
# program would load, as ldd does, and runs nothing.)
execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_TRACE_LOADED_OBJECTS=1
                        ${WORK_DIR}/prefix/bin/quillet-host
                RESULT_VARIABLE rc OUTPUT_VARIABLE loaded)
string(REGEX MATCHALL "[^\n]*libQt[^\n]*" qt "${loaded}")
if(rc OR qt OR NOT loaded MATCHES "libQuillet\\.so")
  message(FATAL_ERROR "quillet-host (${rc}) loads\n${loaded}")
endif()

# The dialogs' library exports its one entry and holds no copy of the core
# (its start-up, for one): its dialogs use the process's libquillet-core.so.
exported_names(libquillet-ui.so entries)
execute_process(COMMAND ${NM} -C --defined-only ${WORK_DIR}/prefix/${MODULE_DIR}/libquillet-ui.so
                RESULT_VARIABLE rc OUTPUT_VARIABLE symbols)
string(REGEX MATCHALL " [Tt] quillet::frame::ModuleReady\\(\\)" copies "${symbols}")
if(rc OR copies OR NOT entries STREQUAL "QuilletUiTable")
  message(FATAL_ERROR "libquillet-ui.so (${rc}) exports\n  ${entries}\nand holds\n${copies}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build
                -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configure failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "build failed: ${rc}")
endif()
execute_process(COMMAND ${WORK_DIR}/build/consumer RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer failed: ${rc}")
endif()
