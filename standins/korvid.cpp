// Stand-in machine-driver library (being written).
