-- The receipt list: every receipt with its computed figures.
SELECT * FROM [V_RECEIPT]
