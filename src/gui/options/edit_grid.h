#pragma once
#include <QPointer>
#include <QTableWidget>

class GridEditDelegate;

// A grid edited in place, as the Options dialog's grids are: the editor of the current cell is
// always shown, Enter belongs to the dialog (its default button), Tab walks from cell to cell and
// leaves the grid after the last cell (Shift+Tab before the first), Escape belongs to the dialog,
// and every change of an editor's text is reported while it is typed. Cells without
// Qt::ItemIsEnabled are fixed: never current, never edited.
class EditGrid final : public QTableWidget {
    Q_OBJECT
public:
    EditGrid(int rows, int columns, QWidget* parent = nullptr);

    // Puts the text of an open editor into its cell now (before the owner reads the cells).
    void commitOpenEditor();
    // Closes an open editor without writing its text into the cell (before the owner refills
    // the cells with other data, so the old text cannot land in them).
    void closeOpenEditor();
    void setColumnWidths(std::initializer_list<int> widths);
    // Every row, the header row included.
    void setRowHeight(int height);

signals:
    // The cell and the editor's whole text, at every change the user makes.
    void editTextChanged(int row, int column, const QString& text);
    // Escape in an editor: the dialog cancels.
    void escapePressed();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class GridEditDelegate;
    bool isEditable(int row, int column) const;
    bool atEnd(bool forward) const;

    GridEditDelegate* m_delegate = nullptr;
    QPointer<QWidget> m_openEditor;
    bool m_leaving = false;
};
