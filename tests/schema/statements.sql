-- The suite schema loaded with the demo data: its tables, keys and collation, and the demo's
-- figures. statements_test.sh runs each "-- @check <name> = <value>" block in a transaction it
-- rolls back; the block's last statement must yield <value>. The server's clock stands on
-- 15 December 2026 while the demo loads and the checks run.
-- The statements of the module itself run in its own tests, against this schema.

-- ===========================================================================
-- The schema itself
-- ===========================================================================

-- @check every table is InnoDB and every text in utf8mb4_unicode_520_ci, which tells characters outside the basic plane apart = 0
select count(*) from information_schema.tables
 where table_schema = database() and (engine <> 'InnoDB' or table_collation <> 'utf8mb4_unicode_520_ci'
       or exists (select * from information_schema.columns C where C.table_schema = database()
                   and C.table_name = tables.table_name and C.collation_name <> 'utf8mb4_unicode_520_ci'));

-- @check rows made on first use are unique by what identifies them = t_balance.ux_FStorehouseID_FProductID,t_billcalflag.ux_FProductID_FPeriod,t_comproductbatchno.ux_batch,t_comproductsprice.ux_FClientID_FProductID_FUnitID
select group_concat(distinct concat(lower(table_name), '.', index_name) order by lower(table_name) separator ',')
  from information_schema.statistics where table_schema = database() and non_unique = 0
   and lower(table_name) in ('t_balance', 't_billcalflag', 't_comproductbatchno', 't_comproductsprice') and index_name <> 'PRIMARY';

-- @check a batch without number or dates is one identity, whatever its shelf life = 1|2.00000000
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(9,9,null,null,30,null,1);
insert into t_comProductBatchNo(FStorehouseID,FProductID,FBatchNo1,FKFDate,FKFPeriod,FPeriodDate,FNumber) values(9,9,'',STR_TO_DATE('','%Y-%m-%d'),60,null,1) on duplicate key update FNumber = FNumber + 1;
select concat(count(*), '|', sum(FNumber)) from t_comProductBatchNo where FStorehouseID = 9 and FProductID = 9;

-- @check only the stock, price, mark and log tables number their rows themselves = t_balance.FRowID,t_billcalflag.FRowID,t_comproductbatchno.FID,t_comproductoutbatchno.FOutID,t_comproductsprice.FRowID,t_comproductunit.FID,zzsyslog.FLogID
select group_concat(concat(table_name, '.', column_name) order by table_name separator ',')
  from information_schema.columns where table_schema = database() and extra like '%auto_increment%';

-- @check every bill header carries the closing and voucher marks = 0
select count(*) from (select 't_purorderform' as t union all select 't_purform' union all select 't_saleorderform'
  union all select 't_saleoutform' union all select 't_saleforform' union all select 't_receivepayform'
  union all select 't_feeform' union all select 't_inventoryform' union all select 't_account'
  union all select 't_returnform' union all select 't_transferform' union all select 't_otheroutinform'
  union all select 't_lossgainform' union all select 't_assemblyform' union all select 't_costadjustform'
  union all select 't_outpickingform' union all select 't_infinishform' union all select 't_protaskform') X
 where (select count(*) from information_schema.columns C
         where C.table_schema = database() and C.table_name = X.t
           and C.column_name in ('FID', 'FTypeID', 'FBillTypeID', 'FBillNo', 'FBillDate', 'FBillerID', 'FBillerDate',
                                 'FCheckerID', 'FCheckerDate', 'FIsChecked', 'FNote', 'FFormDefined1', 'FFormDefined2',
                                 'FFormDefined3', 'FIsCloseAcc', 'FIsCreateVoucher', 'FVoucherID')) <> 17;

-- @check every line table is keyed by header and line number = 0
select count(*) from (select 't_purorderlist' as t union all select 't_purlist' union all select 't_saleorderlist'
  union all select 't_saleoutlist' union all select 't_saleforlist' union all select 't_receivepaylist'
  union all select 't_feelist' union all select 't_inventorylist' union all select 't_returnlist'
  union all select 't_transferlist' union all select 't_otheroutinlist' union all select 't_lossgainlist'
  union all select 't_assemblylist' union all select 't_costadjustlist' union all select 't_outpickinglist'
  union all select 't_infinishlist' union all select 't_protasklist') X
 where not exists (select * from information_schema.statistics S
                    where S.table_schema = database() and S.table_name = X.t and S.column_name = 'FFormID'
                      and S.seq_in_index = 1
                      and exists (select * from information_schema.statistics S2
                                   where S2.table_schema = S.table_schema and S2.table_name = S.table_name
                                     and S2.index_name = S.index_name and S2.column_name = 'FSID' and S2.seq_in_index = 2));

-- ===========================================================================
-- The demo's figures agree with each other
-- ===========================================================================

-- @check current stock is the sum of the storehouse balances = 0
select count(*) from t_comProducts P
 left join (select FProductID, sum(FNumber) as FNumber from t_Balance group by FProductID) B
   on B.FProductID = P.FID
 where IfNull(P.FCurStock,0) <> IfNull(B.FNumber,0);

-- @check batch rows add up to the storehouse balance of batch products = 0
select count(*) from t_Balance B
 inner join t_comProducts P on P.FID = B.FProductID and P.FIsBatchNo = 1
 left join (select FStorehouseID, FProductID, sum(FNumber) as FNumber
              from t_comProductBatchNo group by FStorehouseID, FProductID) N
   on N.FStorehouseID = B.FStorehouseID and N.FProductID = B.FProductID
 where IfNull(B.FNumber,0) <> IfNull(N.FNumber,0);

-- @check only batch products have batch rows = 0
select count(*) from t_comProductBatchNo N
 inner join t_comProducts P on P.FID = N.FProductID
 where IfNull(P.FIsBatchNo,0) <> 1;

-- @check sales order production counters match the checked tasks = 0
select count(*) from t_SaleOrderList L
 left join (select FFromListID, sum(FNumber) as FNumber from t_ProTaskForm
             where FIsChecked = 1 and IfNull(FFromListID,0) <> 0 group by FFromListID) T
   on T.FFromListID = L.FID
 where IfNull(L.FProtaskFinishNumber,0) <> IfNull(T.FNumber,0);

-- @check no sales order line is planned beyond its quantity = 0
select count(*) from t_SaleOrderList where IfNull(FProtaskFinishNumber,0) > IfNull(FNumber,0);

-- @check tasks name the sales order and line they came from = 0
select count(*) from t_ProTaskForm T
 left join t_SaleOrderList L on L.FID = T.FFromListID
 left join t_SaleOrderForm F on F.FID = L.FFormID
 where IfNull(T.FFromListID,0) <> 0
   and (F.FID is null or F.FID <> T.FFromBillID or F.FBillNo <> T.FFromBillNo
        or F.FTypeID <> T.FFromBillTypeID or L.FProductID <> T.FProductID
        or F.FClientID <> T.FClientID or F.FIsChecked <> 1);

-- @check material lines are the per-unit consumption times the task quantity = 0
select count(*) from t_ProTaskList L inner join t_ProTaskForm F on F.FID = L.FFormID
 where L.FNumber <> Round(L.FSingleNumber * F.FNumber, 2)
    or L.FAmount <> Round(L.FNumber * L.FPrice, 2)
    or F.FAmount <> Round(F.FNumber * F.FPrice, 2);

-- @check sales order totals are the sum of their lines = 0
select count(*) from t_SaleOrderForm F
 left join (select FFormID, sum(FAmount) as FAmount from t_SaleOrderList group by FFormID) L
   on L.FFormID = F.FID
 where IfNull(F.FAmount,0) <> IfNull(L.FAmount,0)
    or exists (select * from t_SaleOrderList X where X.FFormID = F.FID
                and X.FAmount <> Round(X.FNumber * X.FPrice, 2));

-- @check numbering counters hold the last sequence used this month = 0
select count(*) from T_BillCode C inner join T_BillType T on T.FID = C.FBillTypeID
 where C.FYearMonth = '202612' and C.FPreCode = T.FPreCode
   and C.FCurNo <> (select max(cast(substring(X.FBillNo, char_length(T.FPreCode) + 7) as unsigned))
                      from (select FBillNo, FTypeID from t_SaleOrderForm
                            union all select FBillNo, FTypeID from t_ProTaskForm) X
                     where X.FTypeID = T.FID and X.FBillNo like concat(T.FPreCode, '202612', '%'));

-- @check bills are numbered prefix + the year-month of their date + five digits = 0
select count(*) from (select FBillNo, FTypeID, FBillDate from t_SaleOrderForm
                      union all select FBillNo, FTypeID, FBillDate from t_ProTaskForm) X
 left join T_BillType T on T.FID = X.FTypeID
 where T.FID is null or X.FBillNo not regexp concat('^', T.FPreCode, date_format(X.FBillDate, '%Y%m'), '[0-9]{5}$');

-- @check no bill number is used twice = 0
select count(*) from (select FBillNo from (select FBillNo from t_SaleOrderForm
                                           union all select FBillNo from t_ProTaskForm) X
                       group by FBillNo having count(*) > 1) D;

-- @check every month with bills has its counter, at or past the month's highest sequence = 0
select count(*) from (select FBillNo, FTypeID from t_SaleOrderForm
                      union all select FBillNo, FTypeID from t_ProTaskForm) X
 inner join T_BillType T on T.FID = X.FTypeID
 left join T_BillCode C on C.FBillTypeID = T.FID and C.FPreCode = T.FPreCode
       and C.FYearMonth = substring(X.FBillNo, char_length(T.FPreCode) + 1, 6)
 where C.FCurNo is null or C.FCurNo < cast(substring(X.FBillNo, char_length(T.FPreCode) + 7) as unsigned);

-- @check no bill lies in the closed period = 0
select count(*) from (select FBillDate from t_SaleOrderForm union all select FBillDate from t_ProTaskForm) X
 where X.FBillDate <= (select FDatetimeValue from t_comparameters where FName = 'FAccCloseDate');

-- @check tasks by months back, all and checked: a dozen over the last three months = 0:5:3,1:3:2,2:4:4
select group_concat(concat(M, ':', N, ':', C) order by M separator ',')
  from (select period_diff('202612', date_format(FBillDate, '%Y%m')) as M, count(*) as N, sum(FIsChecked = 1) as C
          from t_ProTaskForm group by M) X;

-- @check batch-managed materials name a stock lot, made before the task and good on its date; others no lot = 0
select count(*) from t_ProTaskList L inner join t_ProTaskForm F on F.FID = L.FFormID
 inner join t_comProducts P on P.FID = L.FProductID
 where (IfNull(P.FIsBatchNo,0) = 1
        and not exists (select * from t_comProductBatchNo N
                         where N.FProductID = L.FProductID and N.FBatchNo1 = L.FBatchNo1 and N.FKFDate = L.FKFDate
                           and N.FKFPeriod = L.FKFPeriod and N.FPeriodDate = L.FPeriodDate
                           and N.FKFDate <= F.FBillDate and N.FPeriodDate >= F.FBillDate))
    or (IfNull(P.FIsBatchNo,0) <> 1 and (IfNull(L.FBatchNo1,'') <> '' or L.FKFDate is not null));

-- @check a checked order of this month has a line open for production: 100 ordered, 30 planned = 1
select count(*) from t_SaleOrderList L inner join t_SaleOrderForm F on F.FID = L.FFormID
 where F.FIsChecked = 1 and F.FBillDate >= '2026-12-01' and L.FNumber = 100 and L.FProtaskFinishNumber = 30;

-- @check a new chair task proposes the materials of the chair task numbered last = RWD20261200004|8
select concat(F.FBillNo, '|', (select count(*) from t_ProTaskList L where L.FFormID = F.FID))
  from t_ProTaskForm F where F.FProductID = 1 order by F.FBillNo desc limit 1;

-- @check bills carry their biller; checked ones their checker, no earlier than the biller; unchecked ones none = 0
select count(*) from (select FIsChecked, FBillerID, FBillerDate, FCheckerID, FCheckerDate from t_SaleOrderForm
                      union all select FIsChecked, FBillerID, FBillerDate, FCheckerID, FCheckerDate from t_ProTaskForm) X
 where X.FBillerID is null or X.FBillerDate is null
    or (X.FIsChecked = 1 and (X.FCheckerID is null or X.FCheckerDate is null or X.FCheckerDate < X.FBillerDate))
    or (IfNull(X.FIsChecked,0) = 0 and X.FCheckerID is not null);

-- @check every product has its base unit as line 1 with ratio 1 = 0
select count(*) from t_comProducts P
 left join t_comProductUnit U on U.FProductID = P.FID and U.FSID = 1
 where U.FProductID is null or U.FUnitID <> P.FStdUnitID or U.FRatio <> 1;

-- @check product and unit references resolve = 0
select count(*) from (
  select FProductID, FUnitID from t_SaleOrderList
  union all select FProductID, FUnitID from t_ProTaskList
  union all select FProductID, FUnitID from t_ProTaskForm
  union all select FProductID, FUnitID from t_comProductUnit
  union all select FProductID, FUnitID from t_comProductsPrice
  union all select FID, FStdUnitID from t_comProducts
  union all select FProductID, null from t_Balance
  union all select FProductID, null from t_comProductBatchNo) X
 left join t_comProducts P on P.FID = X.FProductID
 left join t_comUnit U on U.FID = X.FUnitID
 where P.FID is null or (X.FUnitID is not null and U.FID is null);

-- @check client, employee, department, user, storehouse and item references resolve = 0
select (select count(*) from t_SaleOrderForm F where not exists (select * from t_comClient C where C.FID = F.FClientID and C.FType = 1)
           or not exists (select * from t_comEmployee E where E.FID = F.FSaleEmpID)
           or not exists (select * from t_comItem I where I.FID = F.FSettlementID)
           or not exists (select * from t_comUser U where U.FID = F.FBillerID))
     + (select count(*) from t_ProTaskForm F where not exists (select * from t_comClient C where C.FID = F.FClientID and C.FType = 1)
           or not exists (select * from t_comEmployee E where E.FID = F.FManagerID)
           or not exists (select * from t_comdepartment D where D.FID = F.FDeptID)
           or not exists (select * from t_comUser U where U.FID = F.FBillerID)
           or not exists (select * from T_BillType T where T.FID = F.FTypeID and T.FBillTypeID = 3049))
     + (select count(*) from t_SaleOrderList L where not exists (select * from t_SaleOrderForm F where F.FID = L.FFormID))
     + (select count(*) from t_ProTaskList L where not exists (select * from t_ProTaskForm F where F.FID = L.FFormID))
     + (select count(*) from t_Balance B where not exists (select * from t_comStorehouse S where S.FID = B.FStorehouseID))
     + (select count(*) from t_comProductBatchNo B where not exists (select * from t_comStorehouse S where S.FID = B.FStorehouseID))
     + (select count(*) from t_comEmployee E where not exists (select * from t_comdepartment D where D.FID = E.FDeptID))
     + (select count(*) from t_comUserRight R where not exists (select * from t_comRight X where X.FID = R.FRightID)
           or not exists (select * from t_comUser U where U.FID = R.FUserID));

-- @check line numbers run from 1 without gaps = 0
select count(*) from (
  select FFormID, count(*) as N, min(FSID) as A, max(FSID) as B from t_SaleOrderList group by FFormID
  union all
  select FFormID, count(*), min(FSID), max(FSID) from t_ProTaskList group by FFormID) X
 where X.A <> 1 or X.B <> X.N;

-- @check client balances: unpaid is total less paid = 0
select count(*) from t_comClient
 where IfNull(FUnPayAmount,0) <> IfNull(FTotalAmount,0) - IfNull(FPayAmount,0);

-- @check exactly one system client, of type client = 1
select count(*) from t_comClient where FIsSystem = 1 and FType = 1;

-- @check the restricted user holds no check, uncheck or delete right = 0
select count(*) from t_comUserRight R inner join t_comUser U on U.FID = R.FUserID
 inner join t_comRight X on X.FID = R.FRightID
 where U.FRightType = 1
   and (X.Fvalue like '%.Check' or X.Fvalue like '%.UnCheck' or X.Fvalue like '%.Del');

-- @check the host parameters are all present with their kinds = 13
select count(*) from t_comparameters
 where (FName, FTypeID) in (('FIsCheckBill',2),('FIsSaveCheck',2),('FIsUseRight',1),('FIsTax',2),
       ('FTaxRate',4),('FBluePriceMarkOff',2),('FSalePriceVariationHint',2),('FForbidNegativeStock',2),
       ('FAskNegativeStock',2),('FForbidNegativeBatchStock',2),('FWarnNegativeBatchStock',2),
       ('FWidthHeightLength',1),('FAccCloseDate',5));

-- @check the closing date lies before this month's bills = 1
select count(*) from t_comparameters where FName = 'FAccCloseDate' and FDatetimeValue < '2026-12-01';

-- @check the production task bill type row = RWD|RWD|生产任务单|1
select concat(FBillTypeNo, '|', FPreCode, '|', FBillName, '|', FPrintStyle) from T_BillType where FBillTypeID = 3049;

-- @check the payment bill type that rebates number with = 1
select count(*) from T_BillType where FBillTypeNo = 'FKD';

-- @check caption defaults of the production task are complete = 22
select count(*) from t_comFieldName where FBillTypeID = 3049;

-- @check the default voucher template of the production task balances its sides = 1
select count(*) from T_VoucherModelForm F
 where F.FBillTypeID = 3049 and F.FIsDefault = 1
   and (select count(*) from T_VoucherModelList L where L.FFormID = F.FID and L.FCR = '借') > 0
   and (select count(*) from T_VoucherModelList L where L.FFormID = F.FID and L.FCR = '贷') > 0;

-- @check the month's counter has its unique key = 1
select count(*) from (select INDEX_NAME from information_schema.STATISTICS where TABLE_SCHEMA = database() and lower(TABLE_NAME) = 't_billcode' and NON_UNIQUE = 0 group by INDEX_NAME having count(*) = 2 and sum(lower(COLUMN_NAME) in ('fbilltypeid','fyearmonth')) = 2) K;

-- @check batch numbers are the same batch whatever their case and trailing blanks = 1|1|0
select concat(WEIGHT_STRING('lot-a  ' AS CHAR(100)) = WEIGHT_STRING(IfNull('LOT-A','') AS CHAR(100)), '|',
              (select WEIGHT_STRING(concat(lower(FBatchNo1), '  ') AS CHAR(100)) = WEIGHT_STRING(IfNull(FBatchNo1,'') AS CHAR(100)) from t_comProductBatchNo where FID = 1), '|',
              WEIGHT_STRING('LOT-A' AS CHAR(100)) = WEIGHT_STRING('LOT-B' AS CHAR(100)));
