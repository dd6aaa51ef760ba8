# The outline rule and frame strips natively; the skinned buttons and window shape under Wine.
tandrel_gtest(skin_outline_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/OutlineRule_test.cpp ${CMAKE_CURRENT_LIST_DIR}/FrameStrip_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/OutlineSkin_test.cpp
  LIBS tandrel_skin_graphics)
# The default skin as the build makes it, to check what the generator drew against the rule.
if(TARGET tandrel_skin_data)
  add_dependencies(skin_outline_test tandrel_skin_data)
endif()
target_compile_definitions(skin_outline_test PRIVATE
  TANDREL_SKIN_DIR="${TANDREL_STAGE_DIR}/Data/Tandrel_Program/Forms/Tandrel_Program")
if(WIN32)
  tandrel_gtest(skin_graphics_win_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Windowshape_win_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/BitmapButton_win_test.cpp
    LIBS tandrel_skin_graphics)
  if(TARGET tandrel_skin_data)
    add_dependencies(skin_graphics_win_test tandrel_skin_data)
  endif()
  target_compile_definitions(skin_graphics_win_test PRIVATE
    TANDREL_SKIN_DIR="${TANDREL_STAGE_DIR}/Data/Tandrel_Program/Forms/Tandrel_Program")
endif()
