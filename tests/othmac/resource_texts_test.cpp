// Both resource sets carry every text of dialog 102 and its messages.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "resource_set.h"

namespace {

std::string_view Find(const QuilletResourceSet* set, std::string_view key) {
    for (std::size_t i = 0; i < set->textCount; ++i) {
        if (key == set->texts[i].key) return set->texts[i].text;
    }
    return {};
}

TEST(Dialog102TextsTest, BothSetsDefineEveryKey) {
    for (const QuilletResourceSet* set :
         {QuilletGetBuiltinResourceSet(), QuilletGetResourceSet()}) {
        std::istringstream keys(
            "102.title 102.label.machine 102.label.material 102.group.head_end 102.label.nc_start "
            "102.label.after_g92 102.label.nc_end 102.group.origin 102.group.machine_stop "
            "102.group.k 102.group.l 102.group.m 102.group.h 102.label.condition "
            "102.label.cut_start 102.label.cut_end 102.1001 102.1008 102.1016 102.1 102.2 "
            "102.text_too_long 102.write_failed 201 202 203 204 205");
        for (std::string key; keys >> key;) EXPECT_FALSE(Find(set, key).empty()) << key;
    }
    const QuilletResourceSet* ja = QuilletGetBuiltinResourceSet();
    EXPECT_EQ(Find(ja, "102.title"), "他社機用ＮＣデータ設定");
    EXPECT_EQ(Find(ja, "102.group.k"), "Ｋ（けがき）");
    EXPECT_EQ(Find(ja, "102.2"), "ｷｬﾝｾﾙ");
}

}  // namespace
