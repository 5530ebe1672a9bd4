#include "ui/inspect/command_table_model.h"

#include "core/inspect/inspection_summary.h"
#include "core/safe_text.h"

#include <QColor>
#include <algorithm>
#include <limits>

namespace {

// A pale red behind a row with a problem.
const QColor ProblemColour(255, 215, 215);

QString Shown(std::string_view text) {
    return QString::fromStdString(SafeText(text, 4096));
}

} // namespace

CommandTableModel::CommandTableModel(Fetch fetch, QObject* parent)
    : QAbstractTableModel(parent), fetch_(std::move(fetch)) {}

void CommandTableModel::SetTotal(std::uint64_t rows) {
    if (rows <= total_) {
        return;
    }
    // A block read while the pass had not come so far ends short of the new rows.
    std::erase_if(kept_, [](const Kept& kept) {
        return kept.block.rows.size() < BlockRows && kept.block.error.isEmpty();
    });
    Change(first_, page_, rows);
}

void CommandTableModel::ShowPage(std::uint64_t first, int rows) {
    Change(first, std::max(rows, 0), total_);
}

int CommandTableModel::PageLength(std::uint64_t first, int page, std::uint64_t total) const {
    return first >= total ? 0 : static_cast<int>(std::min<std::uint64_t>(page, total - first));
}

void CommandTableModel::Change(std::uint64_t first, int page, std::uint64_t total) {
    const int after = PageLength(first, page, total);
    const bool moved = first != first_;
    if (after < shown_) {
        beginRemoveRows(QModelIndex(), after, shown_ - 1);
    } else if (after > shown_) {
        beginInsertRows(QModelIndex(), shown_, after - 1);
    }
    const int before = shown_;
    first_ = first;
    page_ = page;
    total_ = total;
    shown_ = after;
    if (after < before) {
        endRemoveRows();
    } else if (after > before) {
        endInsertRows();
    }
    if (moved && after > 0) {
        emit dataChanged(index(0, 0), index(after - 1, ColumnCount - 1));
    }
}

const CommandTableModel::Kept& CommandTableModel::KeptBlock(std::uint64_t row) const {
    const std::uint64_t first = row - row % BlockRows;
    const auto found = std::find_if(kept_.begin(), kept_.end(),
                                    [first](const Kept& kept) { return kept.first == first; });
    if (found != kept_.end()) {
        std::rotate(found, found + 1, kept_.end());
        return kept_.back();
    }
    if (kept_.size() == KeptBlocks) {
        kept_.erase(kept_.begin());
    }
    kept_.push_back({first, fetch_(first, BlockRows)});
    return kept_.back();
}

const DecodedCommand* CommandTableModel::Command(std::uint64_t row) const {
    if (row >= total_) {
        return nullptr;
    }
    const Kept& kept = KeptBlock(row);
    const std::uint64_t at = row - kept.first;
    return at < kept.block.rows.size() ? &kept.block.rows[at] : nullptr;
}

QString CommandTableModel::Text(const DecodedCommand& command, int column) {
    switch (column) {
    case OffsetColumn:
        return QString::number(command.offset);
    case TokensColumn:
        return QString::fromStdString(InspectionSummary::Tokens(command));
    case MeaningColumn:
        return Shown(command.meaning);
    case ProblemColumn:
        return Shown(command.problem);
    default:
        return {};
    }
}

int CommandTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int CommandTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CommandTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    return Cell(first_ + static_cast<std::uint64_t>(index.row()), index.column(), role);
}

QVariant CommandTableModel::Cell(std::uint64_t row, int column, int role) const {
    if (role == Qt::TextAlignmentRole && column == OffsetColumn) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if ((role != Qt::DisplayRole && role != Qt::BackgroundRole) || row >= total_) {
        return {};
    }
    const DecodedCommand* command = Command(row);
    if (command == nullptr) {
        // The file no longer has the row: said in its problem column, marked.
        if (role == Qt::BackgroundRole) {
            return ProblemColour;
        }
        return column == ProblemColumn ? KeptBlock(row).block.error : QVariant();
    }
    if (role == Qt::BackgroundRole) {
        return command->problem.empty() ? QVariant() : QVariant(ProblemColour);
    }
    return Text(*command, column);
}

QVariant CommandTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const names[ColumnCount] = {"Offset", "Tokens", "Meaning", "Problem"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}
