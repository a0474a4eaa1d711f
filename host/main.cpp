// vemble_host.exe MODULE.gau (--script "STEPS" | --script-file FILE) [--quiet]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/script.h"

namespace {

int host_usage() {
    fputs("usage: vemble_host MODULE.gau (--script \"STEP; STEP...\" | --script-file FILE) [--quiet]\n"
          "       vemble_host MODULE.gau --bench [ROUNDS] | --soak N  [--install TEXT]\n"
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
    int bench = 0, soak = 0;
    std::string parameters = "engine.wav";
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
        } else if (!strcmp(argv[i], "--bench")) {
            bench = 20;
            if (i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9') bench = atoi(argv[++i]);
        } else if (!strcmp(argv[i], "--soak") && i + 1 < argc) {
            soak = atoi(argv[++i]);
        } else if (!strcmp(argv[i], "--install") && i + 1 < argc) {
            parameters = argv[++i];
        } else if (!strcmp(argv[i], "--quiet")) {
            host_set_echo(false);
        } else if (argv[i][0] != '-' && !module) {
            module = argv[i];
        } else {
            return host_usage();
        }
    }
    if (!module || (!have_script && !bench && soak <= 0)) return host_usage();
    if (bench || soak > 0) {
        if (!host_load(module)) return 3;
        int rc = bench ? host_bench(parameters.c_str(), bench) : host_soak(parameters.c_str(), soak);
        host_unload();
        return rc;
    }
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
