// The red-black tree against std::multiset under random inserts and erases.
#include "qrbtree.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

struct Item : TQRBNode {
    int Key = 0;
    int Serial = 0;
};

int CompareItems(const TQRBNode* a, const TQRBNode* b) {
    return static_cast<const Item*>(a)->Key - static_cast<const Item*>(b)->Key;
}

} // namespace

TEST(QRBTree, MatchesAMultisetUnderRandomEdits) {
    std::mt19937 rng(3);
    std::vector<Item> items(3000);
    std::vector<bool> linked(items.size());
    std::multiset<std::pair<int, int>> model; // key, serial
    TQRBTree tree(CompareItems);
    for (int step = 0; step < 40000; ++step) {
        const std::size_t i = rng() % items.size();
        if (!linked[i]) {
            items[i].Key = static_cast<int>(rng() % 200);
            items[i].Serial = step;
            tree.Insert(&items[i]);
            model.insert({items[i].Key, step});
        } else {
            tree.Erase(&items[i]);
            model.erase({items[i].Key, items[i].Serial});
        }
        linked[i] = !linked[i];
        if (step % 997 == 0) {
            ASSERT_TRUE(tree.IsValid());
            // In-order walk: keys ascending, equal keys in insertion order.
            auto m = model.begin();
            for (TQRBNode* n = tree.First(); n; n = n->Next(), ++m) {
                ASSERT_NE(m, model.end());
                ASSERT_EQ(static_cast<Item*>(n)->Key, m->first);
                ASSERT_EQ(static_cast<Item*>(n)->Serial, m->second);
            }
            ASSERT_EQ(m, model.end());
            ASSERT_EQ(tree.Count(), model.size());
        }
    }
    Item key;
    key.Key = 100;
    TQRBNode* found = tree.Find(&key);
    const bool present =
        model.lower_bound({100, -1}) != model.end() && model.lower_bound({100, -1})->first == 100;
    EXPECT_EQ(found != nullptr, present);
    if (found) {
        EXPECT_EQ(static_cast<Item*>(found)->Serial, model.lower_bound({100, -1})->second);
        EXPECT_TRUE(found->Prev() == nullptr || static_cast<Item*>(found->Prev())->Key < 100);
    }
    EXPECT_EQ(tree.InsertUnique(&key), found ? found : &key);

    std::size_t deleted = 0;
    const std::size_t count = tree.Count();
    tree.OnDelete = [&](TQRBNode* n) {
        EXPECT_EQ(n->Left, nullptr);
        EXPECT_EQ(n->Right, nullptr);
        ++deleted;
    };
    tree.Clear();
    EXPECT_EQ(deleted, count);
    EXPECT_TRUE(tree.IsEmpty());
}
