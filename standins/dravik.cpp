// Stand-in NC-data library (being written).
