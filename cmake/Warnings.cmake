# Warnings for the project's own targets; errors with ZEMVORA_STRICT (as CI builds).
function(zemvora_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${ZEMVORA_STRICT}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                           -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
                           $<$<BOOL:${ZEMVORA_STRICT}>:-Werror>)
  endif()
endfunction()
