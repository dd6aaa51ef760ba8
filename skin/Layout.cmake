# The layout file manager: portable, with the system's language taken per platform.
add_library(tandrel_skin_layout STATIC ${CMAKE_CURRENT_LIST_DIR}/Class色彩位置字型檔管理.cpp)
target_link_libraries(tandrel_skin_layout PUBLIC tandrel_ui tandrel_text)
if(WIN32)
  target_sources(tandrel_skin_layout PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SystemLanguage_win.cpp)
else()
  target_sources(tandrel_skin_layout PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SystemLanguage_posix.cpp)
endif()
