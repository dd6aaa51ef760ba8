# The layout file: value syntax, ApplyLayout over forms of every class, and the shipped file.
tandrel_gtest(skin_layout_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LayoutValues_test.cpp ${CMAKE_CURRENT_LIST_DIR}/LayoutApply_test.cpp
  LIBS tandrel_skin_layout)
target_compile_definitions(skin_layout_test PRIVATE
  TANDREL_FORMS_DATA="${CMAKE_SOURCE_DIR}/data/Tandrel_Program/Forms")
