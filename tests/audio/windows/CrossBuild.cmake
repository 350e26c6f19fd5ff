# Compiles and links the Windows soundtrack with a mingw-w64 cross compiler:
# cmake -DCOMPILER=... -DAUDIO_DIR=... -DCHECK_MAIN=... -DOUTPUT=... -P CrossBuild.cmake
if(NOT COMPILER)
  message(FATAL_ERROR "x86_64-w64-mingw32-g++ not found (Debian package g++-mingw-w64-x86-64)")
endif()

file(REMOVE ${OUTPUT})
execute_process(
  COMMAND ${COMPILER} -std=c++17 -Wall -Wextra -Werror
    -I${AUDIO_DIR} ${AUDIO_DIR}/Soundtrack_mci.cpp ${CHECK_MAIN}
    -o ${OUTPUT} -lwinmm
  RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS ${OUTPUT})
  message(FATAL_ERROR "the Windows soundtrack does not build")
endif()

# The media-command call has to come from winmm, not from a stub.
string(REGEX REPLACE "g\\+\\+$" "objdump" objdump ${COMPILER})
execute_process(COMMAND ${objdump} -p ${OUTPUT} OUTPUT_VARIABLE imports RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${objdump} cannot read ${OUTPUT}")
endif()
string(TOLOWER "${imports}" imports)
if(NOT imports MATCHES "dll name: winmm\\.dll" OR NOT imports MATCHES "mcisendstringa")
  message(FATAL_ERROR "${OUTPUT} does not import mciSendStringA from winmm.dll")
endif()
