# The window outline, the graphics engine and the skinned bitmap buttons. The outline rule and the
# frame strips are portable (tested natively); regions, painting and hooking are Windows only.
add_library(tandrel_skin_graphics STATIC
  ${CMAKE_CURRENT_LIST_DIR}/OutlineRule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameStrip.cpp)
target_link_libraries(tandrel_skin_graphics PUBLIC tandrel_ui)
if(WIN32)
  target_sources(tandrel_skin_graphics PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Windowshapeunit_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Classgraphicsengine_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Classtbitmapbutton_win.cpp)
  target_link_libraries(tandrel_skin_graphics PUBLIC gdi32 user32)
endif()
