# Installs the build into a scratch prefix and checks what only an installed program does.
# Arguments: BUILD_DIR, PREFIX, BINDIR, MODULE_RELATIVE_DIR, VERSION.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install into ${PREFIX} failed: ${status}")
endif()

set(program ${PREFIX}/${BINDIR}/lunaret)
execute_process(COMMAND ${program} --version OUTPUT_VARIABLE out RESULT_VARIABLE status
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0 OR NOT out STREQUAL "Lunaret ${VERSION}")
  message(FATAL_ERROR "the installed program said '${out}' (status ${status})")
endif()

set(module ${PREFIX}/${BINDIR}/${MODULE_RELATIVE_DIR}/lunaret_insights_chart.so)
if(NOT EXISTS ${module})
  message(FATAL_ERROR "the chart module is not where the installed program looks: ${module}")
endif()

# Neither names a folder of the build's programs or modules (a run path, a module path).
foreach(file ${program} ${module})
  file(STRINGS ${file} hits LIMIT_COUNT 1 REGEX "${BUILD_DIR}/(bin|lib)")
  if(hits)
    message(FATAL_ERROR "${file} still names the build folder: ${hits}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
