// Replaced as the reader grows.
