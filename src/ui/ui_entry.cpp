// The one entry of libquillet-ui.so: the table of its dialogs and message
// boxes (ui_library.h).
#include "driver_ui/driver_dialog_run.h"
#include "frame/gui_qt.h"
#include "othmac/nc_data_dialog.h"
#include "pdl/pdl_laser_dialog.h"
#include "ui/ui_library.h"

extern "C" __attribute__((visibility("default"))) const quillet::ui::UiTable* QuilletUiTable() {
    using namespace quillet;
    static const ui::UiTable table{
        .version = ui::kUiTableVersion,
        .messages = &frame::QtMessageBackend(),
        .ncDataDialog = &othmac::RunNcDataDialog,
        .pdlLaserDialog = &pdl::RunPdlLaserCondDialog,
        .laserDialog = &driver_ui::RunLaserDialog,
        .toolDialog = &driver_ui::RunToolDialog,
        .ncDialog = &driver_ui::RunNcDialog,
    };
    return &table;
}
