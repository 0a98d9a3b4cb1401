#pragma once

#include <set>
#include <type_traits>
#include <vector>

// The items of a further `page` that the list does not show yet, in page order, each told by
// `key`: a list may have moved on the server between two pages, so a page can repeat rows.
template <class Item, class Key>
std::vector<Item> hsUnseenItems(const std::vector<Item> &shown, const std::vector<Item> &page, Key key)
{
    std::set<std::decay_t<std::invoke_result_t<Key, const Item &>>> keys;
    for (const Item &item : shown)
        keys.insert(key(item));
    std::vector<Item> added;
    for (const Item &item : page)
        if (keys.insert(key(item)).second)
            added.push_back(item);
    return added;
}
