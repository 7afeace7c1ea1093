# Cross build for arm64 Debian with Debian's multiarch packages
# (crossbuild-essential-arm64 and the :arm64 -dev packages scripts/deps.sh
# lists in EF_ARM64_PACKAGES). Build-time tools (the image generator) run
# under qemu-user-static.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# Multiarch keeps the arm64 libraries beside the host's, under /usr.
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
# Debian's cross pkg-config reads the arm64 .pc files.
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config)
# The same CPack rules make endless-field_<version>_arm64.deb.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
