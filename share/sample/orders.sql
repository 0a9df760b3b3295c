-- The sample order-entry database that scripts/run opens and the end-to-end tests export.
-- Written for both SQLite and PostgreSQL; the loader replaces @BLOB@ with the binary type of
-- the target (BLOB or BYTEA). Statements end with a semicolon at the end of a line.

CREATE TABLE Customers (
  CustomerID INTEGER NOT NULL PRIMARY KEY,
  CompanyName VARCHAR(60) NOT NULL,
  "Contact Name" VARCHAR(40),
  Phone VARCHAR(24),
  CreditLimit NUMERIC(12,2),
  Created TIMESTAMP,
  Notes TEXT
);
CREATE UNIQUE INDEX ux_customers_company ON Customers (CompanyName);
CREATE INDEX ix_customers_phone ON Customers (Phone);

CREATE TABLE Addresses (
  CustomerID INTEGER NOT NULL REFERENCES Customers (CustomerID),
  AddressNo SMALLINT NOT NULL,
  Street VARCHAR(80),
  City VARCHAR(40),
  PostalCode VARCHAR(10),
  Country VARCHAR(30),
  PRIMARY KEY (CustomerID, AddressNo)
);
CREATE INDEX ix_addresses_city ON Addresses (Country, City);

CREATE TABLE Employees (
  EmployeeID INTEGER NOT NULL PRIMARY KEY,
  LastName VARCHAR(30) NOT NULL,
  FirstName VARCHAR(20),
  BirthDate DATE,
  HireDate DATE,
  ReportsTo INTEGER REFERENCES Employees (EmployeeID),
  Photo @BLOB@
);
CREATE INDEX ix_employees_name ON Employees (LastName, FirstName);

CREATE TABLE Categories (
  CategoryID INTEGER NOT NULL PRIMARY KEY,
  CategoryName VARCHAR(30) NOT NULL UNIQUE,
  Description TEXT,
  Picture @BLOB@
);

CREATE TABLE Suppliers (
  SupplierID INTEGER NOT NULL PRIMARY KEY,
  CompanyName VARCHAR(60) NOT NULL,
  Country VARCHAR(30)
);

CREATE TABLE Shippers (
  ShipperID INTEGER NOT NULL PRIMARY KEY,
  CompanyName VARCHAR(60) NOT NULL,
  Phone VARCHAR(24)
);

CREATE TABLE Products (
  ProductID INTEGER NOT NULL PRIMARY KEY,
  ProductName VARCHAR(50) NOT NULL,
  SupplierID INTEGER REFERENCES Suppliers (SupplierID),
  CategoryID INTEGER REFERENCES Categories (CategoryID),
  QuantityPerUnit VARCHAR(30),
  UnitPrice NUMERIC(10,2),
  UnitsInStock SMALLINT,
  Discontinued SMALLINT NOT NULL DEFAULT 0
);
CREATE INDEX ix_products_name ON Products (ProductName);
CREATE INDEX ix_products_price ON Products (UnitPrice DESC);

CREATE TABLE Orders (
  OrderID INTEGER NOT NULL PRIMARY KEY,
  CustomerID INTEGER NOT NULL REFERENCES Customers (CustomerID),
  EmployeeID INTEGER REFERENCES Employees (EmployeeID),
  OrderDate DATE NOT NULL,
  RequiredTime TIME,
  ShippedAt TIMESTAMP,
  ShipVia INTEGER REFERENCES Shippers (ShipperID),
  Freight NUMERIC(10,2)
);
CREATE INDEX ix_orders_date ON Orders (OrderDate);

CREATE TABLE "Order Details" (
  OrderID INTEGER NOT NULL REFERENCES Orders (OrderID),
  ProductID INTEGER NOT NULL REFERENCES Products (ProductID),
  UnitPrice NUMERIC(10,2) NOT NULL,
  Quantity SMALLINT NOT NULL,
  Discount REAL,
  PRIMARY KEY (OrderID, ProductID)
);

CREATE TABLE Shipments (
  ShipmentID INTEGER NOT NULL PRIMARY KEY,
  OrderID INTEGER NOT NULL,
  ProductID INTEGER NOT NULL,
  ShippedQuantity SMALLINT,
  FOREIGN KEY (OrderID, ProductID) REFERENCES "Order Details" (OrderID, ProductID)
);

CREATE TABLE "Customer's Notes" (
  NoteID INTEGER NOT NULL PRIMARY KEY,
  CustomerID INTEGER REFERENCES Customers (CustomerID),
  NoteText VARCHAR(200)
);

CREATE VIEW OrderTotals AS
  SELECT o.OrderID, o.CustomerID, SUM(d.UnitPrice * d.Quantity) AS Total
  FROM Orders o JOIN "Order Details" d ON d.OrderID = o.OrderID
  GROUP BY o.OrderID, o.CustomerID;

INSERT INTO Customers VALUES (1, 'Alfreds Futterkiste', 'Maria Anders', '030-0074321', 5000.00, '2024-01-15 09:30:00', NULL);
INSERT INTO Customers VALUES (2, 'Berglunds snabbköp', 'Christina Berglund', '0921-12 34 65', 12500.50, '2024-02-01 14:05:10', 'Pays by invoice');
INSERT INTO Customers VALUES (3, 'O''Brien & Sons', 'Sean O''Brien', '+353 1 555 0101', 800.00, '2024-03-20 11:00:00', 'Quote "rush" orders');
INSERT INTO Customers VALUES (4, 'Ernst Handel', 'Roland Mendel', '7675-3425', 25000.00, '2023-11-30 08:15:00', NULL);
INSERT INTO Addresses VALUES (1, 1, 'Obere Str. 57', 'Berlin', '12209', 'Germany');
INSERT INTO Addresses VALUES (2, 1, 'Berguvsvägen 8', 'Luleå', 'S-958 22', 'Sweden');
INSERT INTO Addresses VALUES (2, 2, 'Storgatan 1', 'Stockholm', '111 51', 'Sweden');
INSERT INTO Addresses VALUES (3, 1, '12 Harbour Road', 'Dublin', 'D02', 'Ireland');
INSERT INTO Employees VALUES (1, 'Fuller', 'Andrew', '1962-02-19', '2012-08-14', NULL, NULL);
INSERT INTO Employees VALUES (2, 'Davolio', 'Nancy', '1978-12-08', '2014-05-01', 1, NULL);
INSERT INTO Employees VALUES (3, 'Leverling', 'Janet', '1983-08-30', '2016-04-01', 1, NULL);
INSERT INTO Categories VALUES (1, 'Beverages', 'Soft drinks, coffees, teas, beers, and ales', NULL);
INSERT INTO Categories VALUES (2, 'Condiments', 'Sweet and savory sauces, relishes, spreads, and seasonings', NULL);
INSERT INTO Categories VALUES (3, 'Seafood', 'Seaweed and fish', NULL);
INSERT INTO Suppliers VALUES (1, 'Exotic Liquids', 'UK');
INSERT INTO Suppliers VALUES (2, 'New Orleans Cajun Delights', 'USA');
INSERT INTO Shippers VALUES (1, 'Speedy Express', '(503) 555-9831');
INSERT INTO Shippers VALUES (2, 'United Package', '(503) 555-3199');
INSERT INTO Products VALUES (1, 'Chai', 1, 1, '10 boxes x 20 bags', 18.00, 39, 0);
INSERT INTO Products VALUES (2, 'Chang', 1, 1, '24 - 12 oz bottles', 19.00, 17, 0);
INSERT INTO Products VALUES (3, 'Aniseed Syrup', 1, 2, '12 - 550 ml bottles', 10.00, 13, 0);
INSERT INTO Products VALUES (4, 'Chef Anton''s Cajun Seasoning', 2, 2, '48 - 6 oz jars', 22.00, 53, 0);
INSERT INTO Products VALUES (5, 'Boston Crab Meat', 2, 3, '24 - 4 oz tins', 18.40, 123, 1);
INSERT INTO Orders VALUES (10248, 1, 2, '2024-07-04', '12:00:00', '2024-07-16 10:00:00', 1, 32.38);
INSERT INTO Orders VALUES (10249, 2, 3, '2024-07-05', '09:30:00', '2024-07-10 15:45:00', 2, 11.61);
INSERT INTO Orders VALUES (10250, 3, 2, '2024-07-08', NULL, NULL, 2, 65.83);
INSERT INTO "Order Details" VALUES (10248, 1, 18.00, 12, 0);
INSERT INTO "Order Details" VALUES (10248, 4, 22.00, 10, 0);
INSERT INTO "Order Details" VALUES (10249, 2, 19.00, 9, 0.05);
INSERT INTO "Order Details" VALUES (10250, 5, 18.40, 35, 0.15);
INSERT INTO "Order Details" VALUES (10250, 3, 10.00, 15, 0);
INSERT INTO Shipments VALUES (1, 10248, 1, 12);
INSERT INTO Shipments VALUES (2, 10248, 4, 10);
INSERT INTO Shipments VALUES (3, 10249, 2, 9);
INSERT INTO "Customer's Notes" VALUES (1, 3, 'Prefers delivery before noon');
INSERT INTO "Customer's Notes" VALUES (2, 1, 'Call before shipping');
