// The store library.
