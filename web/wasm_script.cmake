# SPDX-License-Identifier: GPL-3.0-or-later
# ondulix.wasm.js: the engine's WebAssembly as a base64 string, for a page opened from disk.
execute_process(COMMAND base64 -w 0 ${WASM} OUTPUT_VARIABLE encoded RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot encode ${WASM}")
endif()
file(WRITE ${OUT} "// SPDX-License-Identifier: GPL-3.0-or-later\nvar OndulixWasm = \"${encoded}\";\n")
