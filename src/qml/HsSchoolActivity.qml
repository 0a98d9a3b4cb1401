import QtQuick

// The school notices area: the categories of notices and their headlines.
HsNewsListArea {}
