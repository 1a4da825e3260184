// The hand-off from the data source to the screen manager, kept in its own file so that programs
// which only read datagrams do not pull in the manager and its screens.
#include <cjson/cJSON.h>

#include "mainscreen.h"
#include "ui/data_src/data_src.h"

void data_src_dispatch(const char* text) {
    cJSON* root = cJSON_Parse(text);
    MainScreen_SetData(root); // null when the text is not JSON; the manager ignores it
    cJSON_Delete(root);       // nothing keeps pointers into the tree
}
