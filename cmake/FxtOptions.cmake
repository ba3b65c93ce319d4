# Compiler settings shared by every target of the project.

function(fxt_target_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${FXT_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${FXT_WERROR}>:-Werror>)
  endif()
endfunction()

if(FXT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Coverage-guided fuzzing (clang's libFuzzer): every target is instrumented, the fuzz
# targets in fuzz/ link the fuzzer's driver. AddressSanitizer and
# UndefinedBehaviorSanitizer run with it.
if(FXT_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined
                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
