# The default skin's bitmaps and icon, drawn by data/tools/make_skin.py into the stage folder's
# skin folder: every file under English\, the word-carrying button strips also under German\.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(TANDREL_SKIN_OUT ${TANDREL_STAGE_DIR}/Data/Tandrel_Program/Forms/Tandrel_Program)
set(skin_files)
foreach(f MultiPairMain_Background.bmp WindowClose.bmp NewMultiPairProc.bmp RSSIDisplay.bmp
          Application.ico)
  list(APPEND skin_files ${TANDREL_SKIN_OUT}/English/${f})
endforeach()
foreach(f NewMultiPairProc.bmp RSSIDisplay.bmp)
  list(APPEND skin_files ${TANDREL_SKIN_OUT}/German/${f})
endforeach()
add_custom_command(OUTPUT ${skin_files}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_skin.py ${TANDREL_SKIN_OUT}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_skin.py
  COMMENT "Drawing the default skin")
add_custom_target(tandrel_skin_data ALL DEPENDS ${skin_files})
