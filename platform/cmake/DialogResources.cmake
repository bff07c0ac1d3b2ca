# tevrin_add_dialog_resources(<target> <module-name> <rc files...>)
# Compiles dialog resource scripts into a C++ source added to <target>; the
# templates are registered under <module-name> (the Windows name that
# GetModuleHandleA takes, "TevrinSdk_Halden.dll") when the target loads.
set(TEVRIN_RC_COMPILER ${CMAKE_CURRENT_LIST_DIR}/../tools/rc_compiler.py)
set(TEVRIN_RC_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/../include)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(tevrin_add_dialog_resources target module)
  set(scripts)
  foreach(script IN LISTS ARGN)
    get_filename_component(path ${script} ABSOLUTE)
    list(APPEND scripts ${path})
  endforeach()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_dialog_resources.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND Python3::Interpreter ${TEVRIN_RC_COMPILER} --module ${module} --output ${output}
            --depfile ${output}.d -I ${TEVRIN_RC_INCLUDE_DIR} ${scripts}
    DEPENDS ${TEVRIN_RC_COMPILER} ${scripts}
    DEPFILE ${output}.d
    COMMENT "Compiling dialog resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
