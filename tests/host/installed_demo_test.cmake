# Installs the build tree into WORK_DIR/prefix: the libraries go to the
# plug-in's private folder (LIB_DIR/quillet), the stand-ins below it, nothing
# to the public library folder. The installed quillet-host demo runs from the
# installed samples and stand-ins; without the stand-ins it names the package.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
set(prefix ${WORK_DIR}/prefix)
set(module_dir ${prefix}/${LIB_DIR}/quillet)
set(standin_dir ${module_dir}/standins)

foreach(file ${module_dir}/libQuillet.so ${module_dir}/libQuillet_rs.so
             ${module_dir}/libquillet-core.so ${standin_dir}/libkorvid.so ${standin_dir}/libDravik.so
             ${prefix}/share/man/man1/quillet-host.1 ${prefix}/share/bash-completion/completions/quillet-host
             ${prefix}/share/doc/quillet/README.md ${prefix}/share/doc/quillet/docs/STANDINS.md)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "cmake --install put no ${file} in place")
  endif()
endforeach()
file(GLOB_RECURSE misplaced ${prefix}/${LIB_DIR}/*.so)
list(FILTER misplaced EXCLUDE REGEX "^${module_dir}/[^/]+\\.so$|^${standin_dir}/[^/]+\\.so$")
if(misplaced)
  message(FATAL_ERROR "libraries outside the plug-in's folders: ${misplaced}")
endif()

execute_process(COMMAND ${prefix}/bin/quillet-host demo --dir ${WORK_DIR}/demo
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc)
  message(FATAL_ERROR "installed demo failed (${rc}):\n${out}\n${err}")
endif()
foreach(expected "samples from ${prefix}/share/quillet/samples"
                 "stand-in driver libraries from ${standin_dir}")
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the installed demo did not say '${expected}':\n${out}")
  endif()
endforeach()
foreach(file nc/sample.nc data/data/Othmcn/MC01-SPCC1.6.CUT system/TEMP/MD_NC_default.ini)
  if(NOT EXISTS ${WORK_DIR}/demo/${file})
    message(FATAL_ERROR "the installed demo left no ${file}")
  endif()
endforeach()

# Without the stand-in package's files the demo stops before doing anything
# and names the package.
file(REMOVE_RECURSE ${standin_dir})
execute_process(COMMAND ${prefix}/bin/quillet-host demo --dir ${WORK_DIR}/demo-without
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${err}" "install the package quillet-standins" at)
if(NOT rc EQUAL 70 OR at EQUAL -1 OR EXISTS ${WORK_DIR}/demo-without/registry.reg)
  message(FATAL_ERROR "the demo without stand-ins exited ${rc}:\n${out}\n${err}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
