// Texts of dialog 102, the NC data settings of other machines (ja).
#include "parts.h"

namespace quillet::resources::ja {

namespace {
const QuilletResourceText kEntries[] = {
    {"102.title", "他社機用ＮＣデータ設定"},
    {"102.label.machine", "機械名称："},
    {"102.label.material", "レーザ用材料名称："},
    {"102.group.head_end", "先頭部／末尾部"},
    {"102.label.nc_start", "ＮＣデータ先頭"},
    {"102.label.after_g92", "Ｇ９２直後"},
    {"102.label.nc_end", "ＮＣデータ末尾"},
    {"102.group.origin", "加工基準点コード"},
    {"102.group.machine_stop", "マシンＳＴＯＰコード"},
    {"102.group.k", "Ｋ（けがき）"},
    {"102.group.l", "Ｌ"},
    {"102.group.m", "Ｍ"},
    {"102.group.h", "Ｈ"},
    {"102.label.condition", "切断条件"},
    {"102.label.cut_start", "切断開始"},
    {"102.label.cut_end", "切断終了"},
    {"102.1001", "全項目消去"},
    {"102.1008", "マスター登録"},
    {"102.1016", "マスター読込"},
    {"102.1", "OK"},
    {"102.2", "ｷｬﾝｾﾙ"},
    {"102.text_too_long", "入力内容が長すぎます。各項目は４９９バイト以内で入力してください。"},
    {"102.write_failed", "ＮＣデータ設定ファイルに書き込めませんでした。"},
};
}  // namespace

const TextTable kDialog102 = MakeTable(kEntries);

}  // namespace quillet::resources::ja
