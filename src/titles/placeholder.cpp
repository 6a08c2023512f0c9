// Replaced as this module grows.
