#include "test_paths.h"

#include <filesystem>

std::string sd_test_out_path(const std::string& name) {
    std::filesystem::path p = std::filesystem::path(SD_TEST_OUT_DIR) / name;
    std::filesystem::create_directories(p.parent_path());
    return p.string();
}

std::string sd_node_module_path(const std::string& rel) {
    return std::string(SD_NODE_MODULES) + "/" + rel;
}
