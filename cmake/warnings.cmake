# Project-wide compiler flags. FPB_WERROR turns warnings into errors (CI).
option(FPB_WERROR "Treat warnings as errors" OFF)

add_compile_options(-Wall -Wextra -Wshadow -Wno-unused-parameter)
if(FPB_WERROR)
    add_compile_options(-Werror)
endif()

if(FPB_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    # One file per deliverable: no libgcc, libstdc++ or winpthread DLL beside it.
    add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
endif()
