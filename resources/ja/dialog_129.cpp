// Texts of dialog 129, the PDL laser information settings (ja).
#include "parts.h"

namespace quillet::resources::ja {

namespace {
const QuilletResourceText kEntries[] = {
    {"129.title", "他社機（ＰＤＬ版）レーザ情報設定"},
    {"129.label.machine", "機械名称："},
    {"129.label.material", "レーザ用材料名称："},
    {"129.label.condition", "切断条件："},
    {"129.column.value", "値"},
    {"129.column.condition", "条件"},
    {"129.group.value", "設定値"},
    {"129.label.value", "値："},
    {"129.1001", "反　映"},
    {"129.group.description", "項目説明"},
    {"129.1046", "保存オプション"},
    {"129.saveopt.line1", "同じ設定値を他の切断条件テーブルに保存したい"},
    {"129.saveopt.line2", "場合にチェックをＯＮにしてください。"},
    {"129.1", "OK（保存）"},
    {"129.2", "ｷｬﾝｾﾙ"},
};
}  // namespace

const TextTable kDialog129 = MakeTable(kEntries);

}  // namespace quillet::resources::ja
