# corvina_vst_module(target): makes `target` (a MODULE library) a loadable VST
# plug-in: no "lib" prefix, and only VSTPluginMain and its `main` alias exported.
# Everything else stays inside, the static core included (--exclude-libs), so two
# plug-ins in one host never bind each other's code.
function(corvina_vst_module target)
  set(map ${CMAKE_SOURCE_DIR}/vst/exports.map)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${map})
  # --no-undefined: a symbol the module needs but nothing defines fails the link
  # here, instead of making the host's dlopen fail later.
  target_link_options(${target} PRIVATE
    -Wl,--as-needed -Wl,--no-undefined -Wl,--exclude-libs,ALL -Wl,--version-script=${map})
endfunction()
