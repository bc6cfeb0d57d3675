# Host build settings: the logic runs on the headless window layer under the sanitizers.
option(PD_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(PD_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
