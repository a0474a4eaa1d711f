// vemble_host.exe MODULE.gau (--script "STEPS" | --script-file FILE) [--quiet]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/script.h"

namespace {

int host_usage() {
    fputs("usage: vemble_host MODULE.gau (--script \"STEP; STEP...\" | --script-file FILE) [--quiet]\n"
          "steps: install [TEXT], kill, unload, load, press X,Y, event X,Y FLAGS, hold X,Y MS, wait MS,\n"
          "       update, indicator, tooltip, frame NAME, service N [EXTRA], windows, broadcast,\n"
          "       expect-indicator V, expect-image ID, expect-tooltip TEXT, expect-message TEXT,\n"
          "       expect-no-message, expect-windows N\n", stderr);
    return 2;
}

bool host_read_file(const char* path, std::string* out) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
    fclose(f);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* module = nullptr;
    std::string script;
    bool have_script = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--script") && i + 1 < argc) {
            script = argv[++i];
            have_script = true;
        } else if (!strcmp(argv[i], "--script-file") && i + 1 < argc) {
            if (!host_read_file(argv[++i], &script)) {
                fprintf(stderr, "vemble_host: cannot read script file %s\n", argv[i]);
                return 2;
            }
            have_script = true;
        } else if (!strcmp(argv[i], "--quiet")) {
            host_set_echo(false);
        } else if (argv[i][0] != '-' && !module) {
            module = argv[i];
        } else {
            return host_usage();
        }
    }
    if (!module || !have_script) return host_usage();
    std::vector<ScriptStep> steps;
    std::string error;
    if (!script_parse(script, &steps, &error)) {
        fprintf(stderr, "vemble_host: script error: %s\n", error.c_str());
        return 2;
    }
    if (!host_load(module)) return 3;
    int rc = host_run_script(steps);
    if (host_loaded()) host_unload();
    return rc;
}
