cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" SOURCES "${SOURCES}")
# Stages the manual in Windows-1251, compiles it and puts the pages and Zorvan.chm in BIN.
# Run with -P; CHMCMD, STAGE, BIN and SOURCES (the files to stage) are given.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE} ${BIN}/manual)
foreach(src ${SOURCES})
  get_filename_component(name ${src} NAME)
  if(name MATCHES "\\.(html|hhp|hhc|hhk)$")
    execute_process(COMMAND iconv -f UTF-8 -t CP1251 ${src} OUTPUT_FILE ${STAGE}/${name}
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${name}: not convertible to Windows-1251")
    endif()
    file(READ ${STAGE}/${name} text)
    string(REPLACE "charset=utf-8" "charset=windows-1251" text "${text}")
    file(WRITE ${STAGE}/${name} "${text}")
  else()
    file(COPY ${src} DESTINATION ${STAGE})
  endif()
endforeach()

execute_process(COMMAND ${CHMCMD} --verbosity 1 Zorvan.hhp WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0 OR NOT EXISTS ${STAGE}/Zorvan.chm OR log MATCHES "[Ee]rror")
  message(FATAL_ERROR "chmcmd failed:\n${log}")
endif()

file(REMOVE_RECURSE ${BIN}/manual)
file(GLOB staged ${STAGE}/*.html ${STAGE}/*.css ${STAGE}/*.png)
file(COPY ${staged} DESTINATION ${BIN}/manual)
file(COPY_FILE ${STAGE}/Zorvan.chm ${BIN}/Zorvan.chm)
