# Fails when clang-format would change any C++ file of the project.
file(GLOB_RECURSE files ${SOURCE_DIR}/core/*.cpp ${SOURCE_DIR}/core/*.h
     ${SOURCE_DIR}/controls/*.cpp ${SOURCE_DIR}/controls/*.h
     ${SOURCE_DIR}/pages/*.cpp ${SOURCE_DIR}/pages/*.h
     ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h
     ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "clang-format found unformatted code:\n${err}")
endif()
