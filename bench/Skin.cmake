# The skin's timing harnesses. Build them without sanitizers for numbers worth reading:
#   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTANDREL_SANITIZE=OFF
# outline_bench (native and Windows): the outline rule against the rule spelt out pixel by pixel
# and against one linear pass over the pixels. button_bench (Windows, run under Wine): one
# repaint of a skinned button against a plain BitBlt of the same size.
set(TANDREL_BENCH_SKIN_DIR ${TANDREL_STAGE_DIR}/Data/Tandrel_Program/Forms/Tandrel_Program)
add_executable(outline_bench ${CMAKE_CURRENT_LIST_DIR}/Outline_bench.cpp)
target_link_libraries(outline_bench PRIVATE tandrel_skin_graphics)
target_compile_definitions(outline_bench PRIVATE TANDREL_SKIN_DIR="${TANDREL_BENCH_SKIN_DIR}")
if(TARGET tandrel_skin_data)
  add_dependencies(outline_bench tandrel_skin_data)
endif()
if(WIN32)
  add_executable(button_bench ${CMAKE_CURRENT_LIST_DIR}/ButtonRepaint_bench_win.cpp)
  target_link_libraries(button_bench PRIVATE tandrel_skin_graphics)
  target_compile_definitions(button_bench PRIVATE TANDREL_SKIN_DIR="${TANDREL_BENCH_SKIN_DIR}")
  if(TARGET tandrel_skin_data)
    add_dependencies(button_bench tandrel_skin_data)
  endif()
endif()
