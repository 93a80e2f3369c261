# Strict warnings for the project's own targets only; third-party headers are included as system headers.
function(zem_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
