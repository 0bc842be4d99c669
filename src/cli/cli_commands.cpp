#include "cli/cli_command.h"

int cli_list(CliContext& context);
int cli_find(CliContext& context);
int cli_export(CliContext& context);
int cli_save_as(CliContext& context);
int cli_import_raw(CliContext& context);
int cli_make_sample_data(CliContext& context);
int cli_new(CliContext& context);
int cli_build_foundation(CliContext& context);
int cli_update_formats(CliContext& context);
int cli_import_cin(CliContext& context);
int cli_import_skl(CliContext& context);
int cli_import_ase(CliContext& context);
int cli_import_wav(CliContext& context);
int cli_decode_sound(CliContext& context);
int cli_run_script(CliContext& context);
int cli_import_psd(CliContext& context);
int cli_collapse_terrain(CliContext& context);
int cli_render_model(CliContext& context);
int cli_render_map(CliContext& context);
int cli_dump(CliContext& context);
int cli_load(CliContext& context);
int cli_diff(CliContext& context);
int cli_check(CliContext& context);

const std::vector<CliCommand>& cli_commands()
{
    static const std::vector<CliCommand> commands = {
        {"list", "list [FILE...]", cli_list},
        {"find", "find TYPE ID", cli_find},
        {"export", "export TYPE ID OUT", cli_export},
        {"save-as", "save-as SOURCE DEST", cli_save_as},
        {"import-raw", "import-raw FILE PATH...", cli_import_raw},
        {"make-sample-data", "make-sample-data DIR", cli_make_sample_data},
        {"new", "new FILE TYPE NAME [--id ID] [--size WxH]", cli_new},
        {"build-foundation", "build-foundation ROOTLIST", cli_build_foundation},
        {"update-formats", "update-formats", cli_update_formats},
        {"import-cin", "import-cin FILE DIALOGS", cli_import_cin},
        {"import-skl", "import-skl FILE MODEL [NAME]", cli_import_skl},
        {"import-ase", "import-ase FILE CAMERA", cli_import_ase},
        {"import-wav", "import-wav FILE ID WAV...", cli_import_wav},
        {"decode-sound", "decode-sound ID INDEX OUT [FILE]", cli_decode_sound},
        {"run-script", "run-script SCRIPT [FILE...]", cli_run_script},
        {"import-psd", "import-psd FILE IMAGE", cli_import_psd},
        {"collapse-terrain", "collapse-terrain FILE TERRAIN_ID DETAIL_ID", cli_collapse_terrain},
        {"render-model",
         "render-model FILE SKMD_ID OUT.png [--size WxH] [--model K] [--lod N] [--animation SKAN_ID --frame F] "
         "[--yaw DEG --pitch DEG]",
         cli_render_model},
        {"render-map", "render-map FILE MAP_ID OUT.png [--size WxH] [--view top|perspective] [--markers hide|only|boxes|simple|complex]",
         cli_render_map},
        {"dump", "dump TYPE ID [OUT]", cli_dump},
        {"load", "load FILE JSON...", cli_load},
        {"diff", "diff A B [--exit-code]", cli_diff},
        {"check", "check [FILE...]", cli_check},
    };
    return commands;
}
