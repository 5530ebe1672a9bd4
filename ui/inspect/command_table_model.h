#pragma once

#include "core/inspect/decoded_command.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The viewer's list of commands as a table that holds none of them. Its rows are the page
// the list shows, [First(), First() + page): a view keeps a few bytes for every row it has,
// which for the hundred million commands of a gigabyte of labels would be a gigabyte, so the
// window scrolls the page over Total() rows itself. The rows are read again from the file
// when asked for (a block of BlockRows at a time, the last few blocks kept); rows the file
// no longer has show what went wrong in the problem column, marked.
class CommandTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { OffsetColumn, TokensColumn, MeaningColumn, ProblemColumn, ColumnCount };
    static constexpr std::uint64_t BlockRows = 256;
    static constexpr std::size_t KeptBlocks = 8;

    // Rows [first, first + count) as far as they could be read, and why the rest could not.
    struct Block {
        std::vector<DecodedCommand> rows;
        QString error;
    };
    using Fetch = std::function<Block(std::uint64_t first, std::uint64_t count)>;

    explicit CommandTableModel(Fetch fetch, QObject* parent = nullptr);

    // Rows known so far; more appear at the end as the pass goes.
    void SetTotal(std::uint64_t rows);
    std::uint64_t Total() const { return total_; }
    // The page shown: `rows` rows from `first` on, fewer at the end.
    void ShowPage(std::uint64_t first, int rows);
    std::uint64_t First() const { return first_; }

    // The command of a row of the whole list, read when it is not kept; null when the file
    // no longer has it.
    const DecodedCommand* Command(std::uint64_t row) const;
    // What a row of the whole list shows in a column, in the role asked for.
    QVariant Cell(std::uint64_t row, int column, int role = Qt::DisplayRole) const;
    // The words a command shows in a column, for a search.
    static QString Text(const DecodedCommand& command, int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Kept {
        std::uint64_t first = 0;
        Block block;
    };
    const Kept& KeptBlock(std::uint64_t row) const;
    int PageLength(std::uint64_t first, int page, std::uint64_t total) const;
    // Moves to the page and total given, telling the view which rows came and went.
    void Change(std::uint64_t first, int page, std::uint64_t total);

    Fetch fetch_;
    std::uint64_t total_ = 0;
    std::uint64_t first_ = 0;
    int page_ = 0;
    int shown_ = 0;
    // The blocks read last, the newest at the back.
    mutable std::vector<Kept> kept_;
};
