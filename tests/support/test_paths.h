// Where tests find their data and put what they write.
#pragma once
#include <string>

// A path below the test output directory (created on demand).
std::string sd_test_out_path(const std::string& name);
// A file of an npm font package, e.g. "@expo-google-fonts/montserrat/500Medium/Montserrat_500Medium.ttf".
std::string sd_node_module_path(const std::string& rel);
