# Compiler settings shared by every target of ours: a strict warning set with
# warnings as errors, and the sanitizers when asked for.
add_library(veyra_options INTERFACE)

if(MSVC)
    # Visual Studio: its own strict level, and no secure-CRT nagging about the
    # standard C functions the portable code uses.
    target_compile_options(veyra_options INTERFACE /W4 /WX /permissive-)
    target_compile_definitions(veyra_options INTERFACE _CRT_SECURE_NO_WARNINGS)
else()
    target_compile_options(veyra_options INTERFACE
        -Wall -Wextra -Wpedantic -Werror
        -Wshadow -Wconversion -Wsign-conversion -Wcast-qual -Wformat=2
        -Wnon-virtual-dtor -Woverloaded-virtual -Wundef -Wimplicit-fallthrough
        -Wdouble-promotion)
endif()

if(WIN32)
    # Windows 7 is the oldest system we run on; ANSI entry points throughout.
    target_compile_definitions(veyra_options INTERFACE
        _WIN32_WINNT=0x0601 WINVER=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
endif()

if(VEYRA_SANITIZE)
    target_compile_options(veyra_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(veyra_options INTERFACE -fsanitize=address,undefined)
endif()

if(VEYRA_FUZZ)
    # Coverage for libFuzzer in every library the fuzzers reach.
    target_compile_options(veyra_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
