# Strict warnings for the project's own targets only; third-party headers are included as system headers.
# They become errors only when ZEM_WERROR is on, as CI builds: a user's newer compiler may warn about
# things ours does not, and that must not stop their build.
function(zem_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ZEM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
