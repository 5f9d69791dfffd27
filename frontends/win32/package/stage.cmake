# Lays out the package folder: cmake -DPROGRAM=... -DSTRIP=... -DASSETS=...
# -DOUT=<folder>/vorlak-simulator -P stage.cmake. The program stripped of its
# debugging information, the seven waves of the SOUND folder, and the side
# documents with Windows line ends.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/SOUND)
execute_process(COMMAND ${STRIP} -o ${OUT}/vorlak-simulator.exe ${PROGRAM} COMMAND_ERROR_IS_FATAL ANY)
foreach(name GameOver Level Miss Semaph Srvc1 Srvc2 Start)
  file(COPY ${ASSETS}/SOUND/${name}.wav DESTINATION ${OUT}/SOUND)
endforeach()
foreach(name readme whatsnew)
  file(READ ${ASSETS}/docs/${name}.txt text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${OUT}/${name}.txt "${text}")
endforeach()
