# Sanitizer and fuzzing instrumentation for everything built after this point.
if(ZEMVORA_SANITIZE OR ZEMVORA_FUZZ)
  set(sanitizers address,undefined)
  if(ZEMVORA_FUZZ)
    set(sanitizers ${sanitizers},fuzzer-no-link)
  endif()
  add_compile_options(-fsanitize=${sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
