// A fixture for the table describers: one hand-built table in an otherwise empty file, shown
// through the tree node that selects it, with lookups over the rows it gives.
#pragma once

#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "format/describe.h"

namespace navtab::test {

struct TableFixture : ::testing::Test {
    std::vector<std::uint8_t>& table(int id) {
        ifo.table[ID_MAT].assign(2048, 0);
        node.kind = NodeKind::Table;
        node.tableId = id;
        return ifo.table[id] = std::vector<std::uint8_t>(2048, 0);
    }
    std::uint8_t* at(std::size_t offset) { return ifo.table[node.tableId].data() + offset; }
    const std::vector<FieldRow>& describe(bool reserved = false) {
        list.showReserved = reserved;
        EXPECT_EQ(DescribeNode(ifo, list, node), DescribeResult::Shown);
        return list.rows();
    }
    long count(const std::string& prefix) const {
        return std::count_if(list.rows().begin(), list.rows().end(), [&](const FieldRow& r) {
            return r.description.rfind(prefix, 0) == 0;
        });
    }
    const FieldRow& row(const std::string& description, bool next = false) const {
        const auto& r = list.rows();
        for (std::size_t i = 0; i + next < r.size(); ++i)
            if (r[i].description == description) return r[i + next];
        ADD_FAILURE() << "no row \"" << description << "\"";
        static const FieldRow none;
        return none;
    }
    ifo_t ifo;
    TreeNode node;
    FieldList list;
};

}  // namespace navtab::test
