// Texts of the driver_dialogs area (ja): dialogs 130, 131 and 132.
#include "parts.h"

namespace quillet::resources::ja {

namespace {
const QuilletResourceText kEntries[] = {
    {"130.title", "ﾏｼﾝﾄﾞﾗｲﾊﾞｰ ﾚｰｻﾞ情報設定"},
    {"130.label.machine", "機械名称："},
    {"130.label.material", "レーザ用材料名称："},
    {"130.label.condition", "切断条件："},
    {"130.1046", "同時保存オプション"},
    {"130.1", "OK（保存）"},
    {"130.2", "ｷｬﾝｾﾙ"},
    {"131.title", "ﾏｼﾝﾄﾞﾗｲﾊﾞｰ 金型情報設定"},
    {"131.label.machine", "機械名称："},
    {"131.label.layout", "金型配置名称："},
    {"131.label.tool", "T番号："},
    {"131.1051", "(ｺｰﾄﾞを出力するﾀｲﾐﾝｸﾞ)"},
    {"131.1", "OK（保存）"},
    {"131.2", "ｷｬﾝｾﾙ"},
    {"132.title", "ﾏｼﾝﾄﾞﾗｲﾊﾞｰ NC作成条件設定"},
    {"132.label.machine", "機械名称："},
    {"132.1", "OK（保存）"},
    {"132.2", "ｷｬﾝｾﾙ"},
};
}  // namespace

const TextTable kDriverDialogs = MakeTable(kEntries);

}  // namespace quillet::resources::ja
