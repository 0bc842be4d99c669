// Duplicate and Delete on a fixed array of records with a count in use, as the list
// forms (attacks, projectile group parts, sounds) offer them.
#pragma once

#include <algorithm>

// Inserts a copy of rows[row] after it; false when no row is chosen or the array is full.
template <class T>
bool duplicate_record(T* rows, int& count, int row, int capacity)
{
    if (row < 0 || row >= count || count >= capacity) return false;
    std::copy_backward(rows + row + 1, rows + count, rows + count + 1);
    rows[row + 1] = rows[row];
    ++count;
    return true;
}

// Removes rows[row] and clears the slot it frees to fresh; false when no row is chosen
// or only minimum rows are left.
template <class T>
bool delete_record(T* rows, int& count, int row, const T& fresh, int minimum = 0)
{
    if (row < 0 || row >= count || count <= minimum) return false;
    std::copy(rows + row + 1, rows + count, rows + row);
    rows[--count] = fresh;
    return true;
}
