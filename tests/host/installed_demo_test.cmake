# Installs the build tree into WORK_DIR/prefix and runs the installed
# quillet-host demo: it must find the installed samples and succeed.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
execute_process(COMMAND ${WORK_DIR}/prefix/bin/quillet-host demo --dir ${WORK_DIR}/demo
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc)
  message(FATAL_ERROR "installed demo failed (${rc}):\n${out}\n${err}")
endif()
string(FIND "${out}" "samples from ${WORK_DIR}/prefix/share/quillet/samples" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the installed demo did not use the installed samples:\n${out}")
endif()
foreach(file nc/sample.nc data/data/Othmcn/MC01-SPCC1.6.CUT system/TEMP/MD_NC_default.ini)
  if(NOT EXISTS ${WORK_DIR}/demo/${file})
    message(FATAL_ERROR "the installed demo left no ${file}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
