# The version lives in project() alone. The programs, the package and its changelog show it
# as 1.00.0011 for 1.0.11.
string(LENGTH "${PROJECT_VERSION_MINOR}" minor_length)
string(LENGTH "${PROJECT_VERSION_PATCH}" patch_length)
math(EXPR minor_pad "2 - ${minor_length}")
math(EXPR patch_pad "4 - ${patch_length}")
string(REPEAT "0" ${minor_pad} minor_zeros)
string(REPEAT "0" ${patch_pad} patch_zeros)
set(CONVODESK_PACKAGE_VERSION
    "${PROJECT_VERSION_MAJOR}.${minor_zeros}${PROJECT_VERSION_MINOR}.${patch_zeros}${PROJECT_VERSION_PATCH}")
add_compile_definitions(CONVODESK_VERSION="${CONVODESK_PACKAGE_VERSION}")
